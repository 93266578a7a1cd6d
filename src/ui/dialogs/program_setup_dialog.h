#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pravenor::files {
struct FileResult;
}
namespace pravenor::program {
class Program;
}

namespace pravenor::ui {

class LockableComboBox;
class UserPreferences;

// "Program Setup": the serial port (or a serial device server's network address, which then
// takes the port number's place) and the folder of the unit-data files, shown read-only
// until "Change", then stored, written and applied by "Save" or put back by "Cancel". It holds
// no values of its own; it shows and changes the program's configuration. Modeless and
// deleted on "Close", so every opening starts in the viewing state with the stored values.
// Beside them the "Fast link" choice. The network address and the fast link are remembered per
// user in `preferences` (not at all without them); a changed fast link choice is applied to the
// running link at once and `paceChanged` told.
class ProgramSetupDialog final : public QDialog
{
    Q_OBJECT

public:
    ProgramSetupDialog(program::Program& program, QWidget* parent = nullptr,
                       UserPreferences* preferences = nullptr,
                       std::function<void()> paceChanged = {});

    void UnlockCombo();
    void LockCombo();
    // A port index of 30 or more shows Com1, and so does one below -1, which only a
    // hand-edited Pravenor.set can hold: a real port on screen is more use than a blank.
    void UpdateCombo();
    // Text typed into the port box that names no entry gives -1.
    void ComboToSettings();

public slots:
    // Leaves only in the viewing state, as "Close" does.
    void reject() override;

    // How many edits on the main window a "Save" would throw away; none set: it asks nothing.
    void setUnsavedEdits(std::function<int()> count) { m_unsavedEdits = std::move(count); }
    // What this run talks to instead of the port, said under it (such as --demo's converter).
    void setRunNote(const QString& note)
    {
        m_runNote = note;
        showDevices();
    }
    // Told after a "Save" that may have changed the TLS files in the preferences.
    void setTrustChanged(std::function<void()> changed) { m_trustChanged = std::move(changed); }

private:
    void setEditable(bool editable);
    void change();
    void save();
    void saveNow();
    void saveHistorySwitches();
    void cancel();
    void setEditing(bool editing);
    int shownPortIndex() const;
    void showDevices();
    void showSaveFailure(const files::FileResult& result);
    void saveFastLink();

    program::Program& m_program;
    UserPreferences* m_preferences;
    std::function<void()> m_paceChanged;
    bool m_storedFast = false;  // the choice as it stood when last shown
    QCheckBox* m_fastLinkCheck; // ChkFastLink
    std::function<int()> m_unsavedEdits;
    QString m_runNote;
    QCheckBox* m_keepUnitCheck;      // ChkKeepUnit
    QCheckBox* m_readBackCheck;      // ChkReadBack
    LockableComboBox* m_portCombo;   // ComboCom
    QLineEdit* m_pathEdit;           // TxtSetPath
    QLineEdit* m_networkAddressEdit; // TxtNetworkAddress
    QLineEdit* m_authorityEdit;      // TxtCertificateAuthority
    QLineEdit* m_certificateEdit;    // TxtClientCertificate
    QLineEdit* m_keyEdit;            // TxtClientKey
    std::function<void()> m_trustChanged;
    QLabel* m_portLabel; // Label1
    QLabel* m_networkAddressLabel;
    QLabel* m_pathLabel; // Label2
    QLabel* m_portDevice;
    QLabel* m_devicesPresent;
    QPushButton* m_changeButton; // CmdWijzigen
    QPushButton* m_saveButton;   // CmdSave
    QPushButton* m_cancelButton; // CmdCancel
    QPushButton* m_closeButton;  // CmdClose
};

} // namespace pravenor::ui
