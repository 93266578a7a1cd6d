#pragma once

#include <string>

namespace pravenor::link {

// What the converter link shows of its work besides the message log: the progress text, the
// progress bar, a message box and the port caption. The window implements it with widgets;
// RecordingView keeps it in memory. Texts are Windows-1252 bytes.
class TransferView
{
public:
    virtual ~TransferView() = default;

    // Appends to the progress text and keeps its last line in view.
    virtual void appendProgress(const std::string& text) = 0;
    virtual void showProgressBar(int minimum, int maximum, int value) = 0;
    virtual void hideProgressBar() = 0;
    // A critical message with one OK button. Must return at once: the link calls it from a
    // tick and never waits for the user.
    virtual void showCriticalMessage(const std::string& title, const std::string& text) = 0;
    // The caption of the serial port frame, set whenever the port has been opened.
    virtual void setPortCaption(const std::string& caption) = 0;
};

} // namespace pravenor::link
