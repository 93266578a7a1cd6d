#pragma once

#include "link/transfer_view.h"

#include <QMessageBox>
#include <QString>
#include <functional>

class QGroupBox;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

namespace pravenor::ui {

// What the converter link shows, on the "Unit" page and in the port frame. Nothing here
// waits: the link calls it from a tick, so a message box is opened and left to the user.
class WidgetView final : public link::TransferView
{
public:
    WidgetView(QPlainTextEdit* progress, QProgressBar* bar, QGroupBox* portFrame, QWidget* window);

    void appendProgress(const std::string& text) override;
    void showProgressBar(int minimum, int maximum, int value) override;
    void hideProgressBar() override;
    void showCriticalMessage(const std::string& title, const std::string& text) override;
    void setPortCaption(const std::string& caption) override;

    // Added to every port caption, so that a demonstration is never taken for a real unit.
    void setCaptionSuffix(const QString& suffix) { m_captionSuffix = suffix; }
    // While the link runs at the fast pace the caption says so; it changes at once.
    void setFastMark(bool fast);
    // A line added below the engine's own text in its failure box, such as which setting
    // failed; empty adds nothing.
    void setCriticalNote(std::function<QString()> note) { m_criticalNote = std::move(note); }

private:
    QPlainTextEdit* m_progress;
    QProgressBar* m_bar;
    QGroupBox* m_portFrame;
    QWidget* m_window;
    QString m_captionSuffix;
    QString m_caption;
    bool m_fast = false;
    std::function<QString()> m_criticalNote;

    void showCaption();
};

// A message box that does not wait: window-modal over the window, removed when answered.
// Texts may use CR LF line breaks.
QMessageBox* OpenMessageBox(QWidget* window, const QString& title, const QString& text,
                            QMessageBox::Icon icon);

// The same, asking OK or Cancel (OK the default): onOk runs after OK, nothing after Cancel or
// Escape.
QMessageBox* OpenConfirmation(QWidget* window, const QString& title, const QString& text,
                              std::function<void()> onOk);

} // namespace pravenor::ui
