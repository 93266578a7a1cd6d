#include "ui/choice_guard.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace pravenor::ui {

ChoiceGuard::ChoiceGuard(QComboBox* box) : QValidator(box), m_box(box)
{
    box->setValidator(this);
    box->installEventFilter(this);
    QObject::connect(box->lineEdit(), &QLineEdit::textChanged, this,
                     [this](const QString& text) { undoIfNoEntry(text); });
    QObject::connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this] { settle(); });
}

QValidator::State ChoiceGuard::validate(QString& input, int& position) const
{
    (void)position;
    if (input.isEmpty())
        return Intermediate;
    bool begins = false;
    for (int n = 0; n < m_box->count(); ++n) {
        const QString entry = m_box->itemText(n);
        if (entry == input)
            return Acceptable;
        begins = begins || entry.startsWith(input, Qt::CaseInsensitive);
    }
    return begins ? Intermediate : Invalid;
}

void ChoiceGuard::fixup(QString& input) const
{
    if (const int only = onlyEntryBeginning(input); only >= 0)
        input = m_box->itemText(only);
}

int ChoiceGuard::onlyEntryBeginning(const QString& text) const
{
    int found = -1;
    for (int n = 0; n < m_box->count(); ++n) {
        const QString entry = m_box->itemText(n);
        if (entry == text)
            return n;
        if (!text.isEmpty() && entry.startsWith(text, Qt::CaseInsensitive)) {
            if (found >= 0)
                return -1;
            found = n;
        }
    }
    return found;
}

void ChoiceGuard::settle()
{
    const QString text = m_box->currentText();
    int entry = onlyEntryBeginning(text);
    if (entry < 0)
        entry = m_box->currentIndex();
    if (entry >= 0 && entry != m_box->currentIndex())
        m_box->setCurrentIndex(entry);
    const QString shown = entry >= 0 ? m_box->itemText(entry) : QString();
    if (m_box->currentText() != shown)
        m_box->setEditText(shown);
}

void ChoiceGuard::undoIfNoEntry(const QString& text)
{
    if (m_undoing)
        return;
    QString checked = text;
    int position = 0;
    if (validate(checked, position) != Invalid || m_box->count() == 0) {
        m_kept = text;
        return;
    }
    m_undoing = true;
    m_box->lineEdit()->setText(m_kept);
    m_undoing = false;
}

bool ChoiceGuard::eventFilter(QObject* watched, QEvent* event)
{
    // Enter takes a half-typed entry that only one entry begins with, before the box looks
    // for the text in its list.
    if (watched == m_box && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            settle();
    }
    // The completer's list takes the focus for a moment while the user is still choosing.
    if (watched == m_box && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        settle();
    return QValidator::eventFilter(watched, event);
}

} // namespace pravenor::ui
