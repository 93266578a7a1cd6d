#pragma once

#include <QString>
#include <QValidator>

class QComboBox;

namespace pravenor::ui {

// Keeps a combo box with typing to the entries of its list. Typing and pasting take only
// the beginning of an entry (in any letter case), and the completer jumps to the entries
// that begin so; a text put in another way (a screen reader, a script) that begins no entry
// is undone at once. When the box loses the focus or takes Enter, a beginning that only one
// entry has becomes that entry, and anything else that is no entry goes back to the entry
// chosen before, so nothing that is no entry stays to be marked, counted or sent.
class ChoiceGuard final : public QValidator
{
public:
    // Guards `box`, which must be editable; the guard belongs to the box.
    explicit ChoiceGuard(QComboBox* box);

    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;

    // The text made an entry or put back as described.
    void settle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The one entry that begins with `text` in any letter case, else -1.
    int onlyEntryBeginning(const QString& text) const;
    void undoIfNoEntry(const QString& text);

    QComboBox* m_box;
    QString m_kept; // the last text that was an entry or the beginning of one
    bool m_undoing = false;
};

} // namespace pravenor::ui
