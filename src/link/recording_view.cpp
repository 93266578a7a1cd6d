#include "link/recording_view.h"

namespace pravenor::link {

void RecordingView::appendProgress(const std::string& text)
{
    m_progress += text;
    if (m_observer)
        m_observer(text);
}

void RecordingView::showProgressBar(int minimum, int maximum, int value)
{
    m_barVisible = true;
    m_barMinimum = minimum;
    m_barMaximum = maximum;
    m_barValue = value;
}

void RecordingView::hideProgressBar()
{
    m_barVisible = false;
}

void RecordingView::showCriticalMessage(const std::string& title, const std::string& text)
{
    m_messages.push_back({title, text});
}

void RecordingView::setPortCaption(const std::string& caption)
{
    m_caption = caption;
}

void RecordingView::setProgressObserver(std::function<void(const std::string&)> observer)
{
    m_observer = std::move(observer);
}

} // namespace pravenor::link
