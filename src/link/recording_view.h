#pragma once

#include "link/transfer_view.h"

#include <functional>
#include <string>
#include <vector>

namespace pravenor::link {

// The transfer view in memory: for tests and for front ends without a window, which can
// also have each piece of progress text handed on as it comes.
class RecordingView final : public TransferView
{
public:
    struct Message
    {
        std::string title;
        std::string text;
    };

    void appendProgress(const std::string& text) override;
    void showProgressBar(int minimum, int maximum, int value) override;
    void hideProgressBar() override;
    void showCriticalMessage(const std::string& title, const std::string& text) override;
    void setPortCaption(const std::string& caption) override;

    void setProgressObserver(std::function<void(const std::string&)> observer);
    void clearProgress() { m_progress.clear(); }

    const std::string& progress() const { return m_progress; }
    bool barVisible() const { return m_barVisible; }
    int barMinimum() const { return m_barMinimum; }
    int barMaximum() const { return m_barMaximum; }
    int barValue() const { return m_barValue; }
    const std::vector<Message>& messages() const { return m_messages; }
    const std::string& portCaption() const { return m_caption; }

private:
    std::string m_progress;
    bool m_barVisible = false;
    int m_barMinimum = 0;
    int m_barMaximum = 0;
    int m_barValue = 0;
    std::vector<Message> m_messages;
    std::string m_caption;
    std::function<void(const std::string&)> m_observer;
};

} // namespace pravenor::link
