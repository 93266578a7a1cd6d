#pragma once

#include <QDialog>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace pravenor::program {
class Program;
}

namespace pravenor::ui {

// "About": logo, name, maker and software version. A double-click on the frame around the
// logo, and nowhere else, steps the program's debug level 0, 1, 2, 0, ...; the window shows
// or hides its service controls through debugLevelChanged. Modeless and deleted on "Close",
// so the next opening starts with an empty level label; the level itself lives on in the
// program.
class AboutDialog final : public QDialog
{
    Q_OBJECT

public:
    AboutDialog(program::Program& program, std::function<void()> debugLevelChanged,
                QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stepDebugLevel();

    program::Program& m_program;
    std::function<void()> m_debugLevelChanged;
    QFrame* m_logoFrame;        // FrameLogo
    QLabel* m_logo;             // Image1
    QLabel* m_nameLabel;        // Label3(1)
    QLabel* m_makerLabel;       // Label3(0)
    QLabel* m_webLabel;         // Label6
    QLabel* m_versionLabel;     // Label4
    QLabel* m_levelLabel;       // LabelLocalLog
    QPushButton* m_closeButton; // CmdSluit
};

} // namespace pravenor::ui
