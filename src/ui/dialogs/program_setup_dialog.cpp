#include "ui/dialogs/program_setup_dialog.h"

#include "files/file_result.h"
#include "link/com_port.h"
#include "link/line_address.h"
#include "link/serial_devices.h"
#include "program/commands.h"
#include "program/program.h"
#include "program/unsaved_edits.h"
#include "ui/dialogs/keep_in_front.h"
#include "ui/dialogs/lockable_combo_box.h"
#include "ui/qt_text.h"
#include "ui/user_preferences.h"
#include "ui/widget_view.h"
#include "ui/window_parts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <filesystem>
#include <system_error>

namespace pravenor::ui {

namespace {

const QColor kLockedText(192, 192, 192);

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QString portName(int number)
{
    return QStringLiteral("Com") + QString::number(number);
}

QString deviceLine(const link::SerialDevice& device)
{
    const QString where = QString::fromStdString(device.path);
    const QString line = device.portNumber > 0
                             ? portName(device.portNumber) + QStringLiteral(" = ") + where
                             : where + QStringLiteral(" (no port number)");
    if (device.path == device.device)
        return line;
    return line + QStringLiteral(" \u2192 ") + QString::fromStdString(device.device);
}

constexpr int kDeviceRole = Qt::UserRole + 1; // the device behind a port number, as said

// The list of ports names the device behind each number and whether it is there; the box
// itself keeps showing only "Com1" .. "Com30".
class PortEntryDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const QString device = index.data(kDeviceRole).toString(); !device.isEmpty())
            option->text += QStringLiteral("   ") + device;
    }
};

} // namespace

ProgramSetupDialog::ProgramSetupDialog(program::Program& program, QWidget* parent,
                                       UserPreferences* preferences,
                                       std::function<void()> paceChanged)
    : QDialog(parent), m_program(program), m_preferences(preferences),
      m_paceChanged(std::move(paceChanged)),
      m_fastLinkCheck(new QCheckBox(QStringLiteral("Fast link"), this)),
      m_keepUnitCheck(
          new QCheckBox(QStringLiteral("Keep the unit's settings before every write"), this)),
      m_readBackCheck(new QCheckBox(QStringLiteral("Read back what was written"), this)),
      m_portCombo(new LockableComboBox(this)), m_pathEdit(new QLineEdit(this)),
      m_networkAddressEdit(new QLineEdit(this)), m_authorityEdit(new QLineEdit(this)),
      m_certificateEdit(new QLineEdit(this)), m_keyEdit(new QLineEdit(this)),
      m_portLabel(MakeLabel("Label1", "ComPort:", this)),
      m_networkAddressLabel(MakeLabel("LabelNetworkAddress", "Network address:", this)),
      m_pathLabel(MakeLabel("Label2", "Path for setup files:", this)),
      m_portDevice(new QLabel(this)), m_devicesPresent(new QLabel(this)),
      m_changeButton(MakeButton("CmdWijzigen", "Change", this, 'C')),
      m_saveButton(MakeButton("CmdSave", "Save", this, 'S')),
      m_cancelButton(MakeButton("CmdCancel", "Cancel", this, 'n')),
      m_closeButton(MakeButton("CmdClose", "Close", this, 'l'))
{
    NameDialog(this, "frmInstellingen", "Program Setup");

    m_portCombo->setObjectName(QStringLiteral("ComboCom"));
    m_portCombo->setAccessibleName(QStringLiteral("ComPort"));
    m_portCombo->setEditable(true);
    // Typed text stays as typed: it is not added to the list, nor completed to an entry.
    m_portCombo->setInsertPolicy(QComboBox::NoInsert);
    m_portCombo->setCompleter(nullptr);
    m_pathEdit->setObjectName(QStringLiteral("TxtSetPath"));
    m_pathEdit->setAccessibleName(QStringLiteral("Path for setup files"));
    m_pathEdit->setMinimumWidth(321);
    m_networkAddressEdit->setObjectName(QStringLiteral("TxtNetworkAddress"));
    m_networkAddressEdit->setAccessibleName(QStringLiteral("Network address"));
    m_networkAddressEdit->setPlaceholderText(
        QStringLiteral("tcp://HOST:PORT or rfc2217://HOST:PORT"));
    m_networkAddressEdit->setToolTip(
        QStringLiteral("A serial device server on the network; empty: the port number"));
    m_networkAddressEdit->setMinimumWidth(240);
    m_networkAddressLabel->setBuddy(m_networkAddressEdit);
    m_portLabel->setBuddy(m_portCombo);
    m_pathLabel->setBuddy(m_pathEdit);
    m_portDevice->setObjectName(QStringLiteral("LabelPortDevice"));
    m_portDevice->setAccessibleName(QStringLiteral("Device of the port"));
    m_devicesPresent->setObjectName(QStringLiteral("LabelSerialDevices"));
    m_devicesPresent->setAccessibleName(QStringLiteral("Serial devices present"));
    m_devicesPresent->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_devicesPresent->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fastLinkCheck->setObjectName(QStringLiteral("ChkFastLink"));
    m_fastLinkCheck->setAccessibleName(m_fastLinkCheck->text());
    m_fastLinkCheck->setToolTip(
        QStringLiteral("Talk to the converter as fast as the line allows; back to the "
                       "standard pace by itself when the converter cannot keep up."));

    m_keepUnitCheck->setObjectName(QStringLiteral("ChkKeepUnit"));
    m_keepUnitCheck->setAccessibleName(m_keepUnitCheck->text());
    m_keepUnitCheck->setToolTip(QStringLiteral(
        "Before a write, read what the unit holds where it is not known yet, and keep it in "
        "History so that it can be restored."));
    m_readBackCheck->setObjectName(QStringLiteral("ChkReadBack"));
    m_readBackCheck->setAccessibleName(m_readBackCheck->text());
    m_readBackCheck->setToolTip(
        QStringLiteral("Read each setting back as soon as it is written, and say where the unit "
                       "holds another value."));

    // Files for TLS addresses, per user like the address; each a path as typed.
    const struct
    {
        QLineEdit* edit;
        const char* name;
        const char* label;
        const char* tip;
    } tlsFields[] = {
        {m_authorityEdit, "TxtCertificateAuthority", "Certificate authority:",
         "TLS: the authorities (a PEM file) that vouch for the server; empty: the system's"},
        {m_certificateEdit, "TxtClientCertificate", "Client certificate:",
         "TLS: this program's certificate (PEM), for a server that asks for one"},
        {m_keyEdit, "TxtClientKey",
         "Client key:", "TLS: the private key of the client certificate (PEM, no passphrase)"},
    };

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(14);
    grid->addWidget(m_portLabel, 0, 0);
    grid->addWidget(m_portCombo, 0, 1);
    grid->addWidget(m_networkAddressLabel, 0, 2, Qt::AlignRight);
    grid->addWidget(m_networkAddressEdit, 0, 3, 1, 2);
    grid->addWidget(m_portDevice, 1, 1, 1, 4);
    grid->addWidget(m_pathLabel, 2, 0);
    grid->addWidget(m_pathEdit, 2, 1, 1, 4);
    grid->addWidget(m_fastLinkCheck, 5, 0, 1, 3);
    grid->addWidget(m_keepUnitCheck, 6, 0, 1, 3);
    grid->addWidget(m_readBackCheck, 7, 0, 1, 3);
    int tlsRow = 8;
    for (const auto& field : tlsFields) {
        field.edit->setObjectName(QString::fromLatin1(field.name));
        field.edit->setToolTip(QString::fromLatin1(field.tip));
        const std::string labelName = std::string("Label") + (field.name + 3); // past "Txt"
        QLabel* label = MakeLabel(labelName.c_str(), field.label, this);
        label->setBuddy(field.edit);
        field.edit->setAccessibleName(label->text().chopped(1));
        grid->addWidget(label, tlsRow, 0);
        grid->addWidget(field.edit, tlsRow++, 1, 1, 4);
    }
    grid->addWidget(m_devicesPresent, 3, 0, 2, 3);
    grid->addWidget(m_cancelButton, 3, 3);
    grid->addWidget(m_changeButton, 3, 4);
    grid->addWidget(m_saveButton, 4, 3);
    grid->addWidget(m_closeButton, 4, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);

    setTabOrder(m_portCombo, m_networkAddressEdit);
    setTabOrder(m_networkAddressEdit, m_pathEdit);
    setTabOrder(m_pathEdit, m_fastLinkCheck);
    setTabOrder(m_fastLinkCheck, m_keepUnitCheck);
    setTabOrder(m_keepUnitCheck, m_readBackCheck);
    setTabOrder(m_readBackCheck, m_authorityEdit);
    setTabOrder(m_authorityEdit, m_certificateEdit);
    setTabOrder(m_certificateEdit, m_keyEdit);
    setTabOrder(m_keyEdit, m_changeButton);
    setTabOrder(m_changeButton, m_closeButton);
    setTabOrder(m_closeButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_saveButton);

    LockCombo();
    for (int number = 1; number <= link::kPortCount; ++number)
        m_portCombo->addItem(portName(number));
    m_portCombo->setItemDelegate(new PortEntryDelegate(m_portCombo));
    UpdateCombo();
    setEditing(false);
    showDevices();

    connect(m_changeButton, &QPushButton::clicked, this, &ProgramSetupDialog::change);
    connect(m_saveButton, &QPushButton::clicked, this, &ProgramSetupDialog::save);
    connect(m_cancelButton, &QPushButton::clicked, this, &ProgramSetupDialog::cancel);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_portCombo, &QComboBox::currentTextChanged, this, &ProgramSetupDialog::showDevices);

    new KeepInFront(this);
}

void ProgramSetupDialog::UnlockCombo()
{
    setEditable(true);
}

void ProgramSetupDialog::LockCombo()
{
    setEditable(false);
}

// Locked, the fields show grey text and take no input; unlocked, the palette's own text.
void ProgramSetupDialog::setEditable(bool editable)
{
    for (QCheckBox* check : {m_fastLinkCheck, m_keepUnitCheck, m_readBackCheck})
        check->setEnabled(editable);
    m_portCombo->setLocked(!editable);
    for (QLineEdit* edit :
         {m_pathEdit, m_networkAddressEdit, m_authorityEdit, m_certificateEdit, m_keyEdit})
        edit->setReadOnly(!editable);
    const QColor text =
        editable ? QApplication::palette(m_pathEdit).color(QPalette::Text) : kLockedText;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_portCombo), static_cast<QWidget*>(m_portCombo->lineEdit()),
          static_cast<QWidget*>(m_pathEdit), static_cast<QWidget*>(m_networkAddressEdit),
          static_cast<QWidget*>(m_authorityEdit), static_cast<QWidget*>(m_certificateEdit),
          static_cast<QWidget*>(m_keyEdit)})
        setTextColour(widget, text);
}

void ProgramSetupDialog::UpdateCombo()
{
    const int stored = m_program.config.ComPortIndex;
    const int index = stored == -1 ? -1 : (stored >= 0 && stored < link::kPortCount ? stored : 0);
    // Also puts the entry's text back over anything typed, even when the index is the same.
    m_portCombo->setCurrentIndex(index);
    m_pathEdit->setText(FromCp1252(m_program.config.SetPath));
    m_networkAddressEdit->setText(FromCp1252(m_program.port.networkAddress()));
    if (m_preferences != nullptr) {
        m_authorityEdit->setText(m_preferences->tlsAuthority());
        m_certificateEdit->setText(m_preferences->tlsCertificate());
        m_keyEdit->setText(m_preferences->tlsKey());
    }
    m_storedFast =
        m_preferences != nullptr ? m_preferences->fastLink() : m_program.engine.pace().fast();
    m_fastLinkCheck->setChecked(m_storedFast);
    m_keepUnitCheck->setChecked(m_program.history.keepUnit);
    m_readBackCheck->setChecked(m_program.history.verify);
}

void ProgramSetupDialog::ComboToSettings()
{
    m_program.config.ComPortIndex = static_cast<std::int16_t>(shownPortIndex());
    m_program.config.SetPath = ToCp1252(m_pathEdit->text());
    const QString address = m_networkAddressEdit->text().trimmed();
    m_program.port.setNetworkAddress(link::ParseNetworkLine(ToCp1252(address)));
    if (m_preferences != nullptr) {
        m_preferences->setNetworkAddress(address);
        m_preferences->setTls(m_authorityEdit->text().trimmed(),
                              m_certificateEdit->text().trimmed(), m_keyEdit->text().trimmed());
    }
}

void ProgramSetupDialog::reject()
{
    // Escape and the title bar leave like "Close", and like "Close" not in the middle of an
    // edit: "Save" or "Cancel" ends that first.
    if (m_closeButton->isEnabled())
        QDialog::reject();
}

void ProgramSetupDialog::change()
{
    setEditing(true);
    UnlockCombo();
}

void ProgramSetupDialog::cancel()
{
    setEditing(false);
    LockCombo();
    UpdateCombo();
}

// "Save" shows default.set again: edits on the main window that nothing has kept are lost,
// so it says how many first and lets the user go back to editing.
void ProgramSetupDialog::save()
{
    // An address the port could not use is refused now, as --port refuses it, rather than
    // kept to fail at the next start.
    const QString address = m_networkAddressEdit->text().trimmed();
    if (const link::ParsedLineAddress parsed = link::ParseNetworkLine(ToCp1252(address));
        !parsed.error.empty()) {
        m_networkAddressEdit->setFocus(Qt::OtherFocusReason);
        auto* box = new QMessageBox(QMessageBox::Warning, BoxTitle(),
                                    QStringLiteral("Network address ") + address +
                                        QStringLiteral(": ") + FromCp1252(parsed.error),
                                    QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("AddressRefused"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        box->open();
        return;
    }
    const int edits = m_unsavedEdits ? m_unsavedEdits() : 0;
    if (edits == 0) {
        saveNow();
        return;
    }
    OpenConfirmation(
        this, BoxTitle(),
        QStringLiteral("Save the program setup and show the default settings again.\n") +
            FromCp1252(program::UnsavedEditsLine(edits)) +
            QStringLiteral("\nThey are lost if you go on."),
        [this] { saveNow(); })
        ->setObjectName(QStringLiteral("SaveLosesEdits"));
}

void ProgramSetupDialog::saveHistorySwitches()
{
    m_program.history.keepUnit = m_keepUnitCheck->isChecked();
    m_program.history.verify = m_readBackCheck->isChecked();
    if (m_preferences != nullptr) {
        m_preferences->setKeepUnit(m_program.history.keepUnit);
        m_preferences->setReadBack(m_program.history.verify);
    }
}

void ProgramSetupDialog::saveNow()
{
    setEditing(false);
    LockCombo();
    saveFastLink();
    saveHistorySwitches();
    ComboToSettings();
    // Before the port is opened again: a TLS address opens with the files just given.
    if (m_trustChanged)
        m_trustChanged();
    const files::FileResult result = program::ApplyProgramSetup(m_program);
    showDevices();
    if (!result.ok)
        showSaveFailure(result);
}

// Only a changed choice touches the link: saving the port again neither ends a run that
// --fast made fast nor undoes a fall back to the standard pace.
void ProgramSetupDialog::saveFastLink()
{
    const bool wanted = m_fastLinkCheck->isChecked();
    if (wanted == m_storedFast)
        return;
    m_storedFast = wanted;
    if (m_preferences != nullptr)
        m_preferences->setFastLink(wanted);
    m_program.engine.setPace(wanted ? link::kFastPace : link::kStandardPace);
    if (m_paceChanged)
        m_paceChanged();
}

void ProgramSetupDialog::setEditing(bool editing)
{
    m_cancelButton->setEnabled(editing);
    m_saveButton->setEnabled(editing);
    m_closeButton->setEnabled(!editing);
    m_changeButton->setEnabled(!editing);
}

int ProgramSetupDialog::shownPortIndex() const
{
    return m_portCombo->findText(m_portCombo->currentText(), Qt::MatchFixedString);
}

void ProgramSetupDialog::showDevices()
{
    const int index = shownPortIndex();
    QString port = QStringLiteral("No port chosen");
    if (const std::string device = link::DeviceForPort(index + 1); index >= 0 && !device.empty()) {
        std::error_code error;
        const bool present = std::filesystem::exists(device, error);
        port = QString::fromStdString(device) + (present ? QStringLiteral(" \u2014 present")
                                                         : QStringLiteral(" \u2014 not present"));
    }
    if (const std::string& address = m_program.port.networkAddress(); !address.empty())
        port = QStringLiteral("In use instead of the port number: ") + FromCp1252(address);
    if (!m_runNote.isEmpty())
        port += QStringLiteral("\n") + m_runNote;
    else if (const auto& given = m_program.port.deviceOverride())
        port += QStringLiteral("\nIn use for this run (--port): ") + FromCp1252(given->text());
    m_portDevice->setText(port);
    for (int n = 0; n < m_portCombo->count(); ++n) {
        const std::string device = link::DeviceForPort(n + 1);
        std::error_code error;
        const QString note = device.empty() ? QString()
                                            : QString::fromStdString(device) +
                                                  (std::filesystem::exists(device, error)
                                                       ? QStringLiteral(" (plugged in)")
                                                       : QStringLiteral(" (not plugged in)"));
        m_portCombo->setItemData(n, note, kDeviceRole);
    }

    // A handful is what a service laptop has; more would push the buttons off the dialog.
    constexpr int kShown = 6;
    const std::vector<link::SerialDevice> devices = link::ListSerialDevices("/dev");
    QString list = devices.empty() ? QStringLiteral("No serial devices found.")
                                   : QStringLiteral("Serial devices present:");
    for (std::size_t n = 0; n < devices.size() && n < kShown; ++n)
        list += QStringLiteral("\n") + deviceLine(devices[n]);
    if (devices.size() > kShown)
        list += QStringLiteral("\n\u2026 and %1 more").arg(devices.size() - kShown);
    m_devicesPresent->setText(list);
}

void ProgramSetupDialog::showSaveFailure(const files::FileResult& result)
{
    OpenMessageBox(this, result.title.empty() ? BoxTitle() : FromCp1252(result.title),
                   FromCp1252(result.message),
                   result.critical ? QMessageBox::Critical : QMessageBox::Warning)
        ->setObjectName(QStringLiteral("SaveFailedMessage"));
}

} // namespace pravenor::ui
