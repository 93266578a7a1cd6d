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
    QFrame* m_frameLogo;
    QLabel* m_image1;
    QLabel* m_label3Name;
    QLabel* m_label3Maker;
    QLabel* m_label6;
    QLabel* m_label4;
    QLabel* m_labelLocalLog;
    QPushButton* m_cmdSluit;
};

} // namespace pravenor::ui
