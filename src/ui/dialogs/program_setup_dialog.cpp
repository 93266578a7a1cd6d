#include "ui/dialogs/program_setup_dialog.h"

#include "files/file_result.h"
#include "link/com_port.h"
#include "link/serial_devices.h"
#include "program/commands.h"
#include "program/program.h"
#include "ui/fast_link_preference.h"
#include "ui/dialogs/keep_in_front.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <filesystem>
#include <system_error>

namespace pravenor::ui {

// A combo box that can be locked like a read-only text box: it keeps the focus and shows its
// text, but neither typing, the arrow keys, the wheel nor the list change the choice.
class LockableComboBox final : public QComboBox
{
public:
    using QComboBox::QComboBox;

    void setLocked(bool locked)
    {
        m_locked = locked;
        if (lineEdit() != nullptr)
            lineEdit()->setReadOnly(locked);
    }
    bool locked() const { return m_locked; }

    void showPopup() override
    {
        if (!m_locked)
            QComboBox::showPopup();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_locked && choosesEntry(*event))
            return event->accept();
        QComboBox::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override
    {
        if (!m_locked)
            QComboBox::wheelEvent(event);
    }

private:
    static bool choosesEntry(const QKeyEvent& event)
    {
        switch (event.key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_F4:
        case Qt::Key_Space:
            return true;
        default:
            return false;
        }
    }

    bool m_locked = false;
};

namespace {

const QColor kLockedText(192, 192, 192);

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

QString portName(int number)
{
    return QStringLiteral("Com") + QString::number(number);
}

QString deviceLine(const link::SerialDevice& device)
{
    const QString where = QString::fromStdString(device.path);
    const QString line = device.portNumber > 0 ? portName(device.portNumber) + QStringLiteral(" = ") + where
                                               : where + QStringLiteral(" (no port number)");
    if (device.path == device.device)
        return line;
    return line + QStringLiteral(" \u2192 ") + QString::fromStdString(device.device);
}

} // namespace

ProgramSetupDialog::ProgramSetupDialog(program::Program& program, QWidget* parent,
                                       FastLinkPreference* preference, std::function<void()> paceChanged)
    : QDialog(parent), m_program(program), m_preference(preference), m_paceChanged(std::move(paceChanged)),
      m_chkFastLink(new QCheckBox(QStringLiteral("Fast link"), this)), m_comboCom(new LockableComboBox(this)),
      m_txtSetPath(new QLineEdit(this)), m_label1(new QLabel(QStringLiteral("ComPort:"), this)),
      m_label2(new QLabel(QStringLiteral("Path for setup files:"), this)),
      m_portDevice(new QLabel(this)), m_devicesPresent(new QLabel(this)),
      m_cmdWijzigen(makeButton(QStringLiteral("CmdWijzigen"), QStringLiteral("Change"), this)),
      m_cmdSave(makeButton(QStringLiteral("CmdSave"), QStringLiteral("Save"), this)),
      m_cmdCancel(makeButton(QStringLiteral("CmdCancel"), QStringLiteral("Cancel"), this)),
      m_cmdClose(makeButton(QStringLiteral("CmdClose"), QStringLiteral("Close"), this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmInstellingen"));
    setWindowTitle(QStringLiteral("Program Setup"));
    setAccessibleName(windowTitle());

    m_comboCom->setObjectName(QStringLiteral("ComboCom"));
    m_comboCom->setAccessibleName(QStringLiteral("ComPort"));
    m_comboCom->setEditable(true);
    // Typed text stays as typed: it is not added to the list, nor completed to an entry.
    m_comboCom->setInsertPolicy(QComboBox::NoInsert);
    m_comboCom->setCompleter(nullptr);
    m_txtSetPath->setObjectName(QStringLiteral("TxtSetPath"));
    m_txtSetPath->setAccessibleName(QStringLiteral("Path for setup files"));
    m_txtSetPath->setMinimumWidth(321);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAccessibleName(m_label1->text());
    m_label1->setBuddy(m_comboCom);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setAccessibleName(m_label2->text());
    m_label2->setBuddy(m_txtSetPath);
    m_portDevice->setObjectName(QStringLiteral("LabelPortDevice"));
    m_portDevice->setAccessibleName(QStringLiteral("Device of the port"));
    m_devicesPresent->setObjectName(QStringLiteral("LabelSerialDevices"));
    m_devicesPresent->setAccessibleName(QStringLiteral("Serial devices present"));
    m_devicesPresent->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_devicesPresent->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_chkFastLink->setObjectName(QStringLiteral("ChkFastLink"));
    m_chkFastLink->setAccessibleName(m_chkFastLink->text());
    m_chkFastLink->setToolTip(QStringLiteral("Talk to the converter as fast as the line allows; back to the "
                                             "standard pace by itself when the converter cannot keep up."));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(14);
    grid->addWidget(m_label1, 0, 0);
    grid->addWidget(m_comboCom, 0, 1);
    grid->addWidget(m_portDevice, 0, 2, 1, 3);
    grid->addWidget(m_label2, 1, 0);
    grid->addWidget(m_txtSetPath, 1, 1, 1, 4);
    grid->addWidget(m_chkFastLink, 4, 0, 1, 3);
    grid->addWidget(m_devicesPresent, 2, 0, 2, 3);
    grid->addWidget(m_cmdCancel, 2, 3);
    grid->addWidget(m_cmdWijzigen, 2, 4);
    grid->addWidget(m_cmdSave, 3, 3);
    grid->addWidget(m_cmdClose, 3, 4);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(3, 1);

    setTabOrder(m_comboCom, m_txtSetPath);
    setTabOrder(m_txtSetPath, m_chkFastLink);
    setTabOrder(m_chkFastLink, m_cmdWijzigen);
    setTabOrder(m_cmdWijzigen, m_cmdClose);
    setTabOrder(m_cmdClose, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdSave);

    LockCombo();
    for (int number = 1; number <= kPortCount; ++number)
        m_comboCom->addItem(portName(number));
    UpdateCombo();
    setEditing(false);
    showDevices();

    connect(m_cmdWijzigen, &QPushButton::clicked, this, &ProgramSetupDialog::change);
    connect(m_cmdSave, &QPushButton::clicked, this, &ProgramSetupDialog::save);
    connect(m_cmdCancel, &QPushButton::clicked, this, &ProgramSetupDialog::cancel);
    connect(m_cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_comboCom, &QComboBox::currentTextChanged, this, &ProgramSetupDialog::showDevices);

    new KeepInFront(this);
}

void ProgramSetupDialog::UnlockCombo()
{
    m_chkFastLink->setEnabled(true);
    m_comboCom->setLocked(false);
    m_txtSetPath->setReadOnly(false);
    const QColor windowText = QApplication::palette(m_txtSetPath).color(QPalette::Text);
    for (QWidget* widget : {static_cast<QWidget*>(m_comboCom), static_cast<QWidget*>(m_comboCom->lineEdit()),
                            static_cast<QWidget*>(m_txtSetPath)})
        setTextColour(widget, windowText);
}

void ProgramSetupDialog::LockCombo()
{
    m_chkFastLink->setEnabled(false);
    m_comboCom->setLocked(true);
    m_txtSetPath->setReadOnly(true);
    for (QWidget* widget : {static_cast<QWidget*>(m_comboCom), static_cast<QWidget*>(m_comboCom->lineEdit()),
                            static_cast<QWidget*>(m_txtSetPath)})
        setTextColour(widget, kLockedText);
}

void ProgramSetupDialog::UpdateCombo()
{
    const int stored = m_program.config.ComPortIndex;
    const int index = stored == -1 ? -1 : (stored >= 0 && stored < kPortCount ? stored : 0);
    // Also puts the entry's text back over anything typed, even when the index is the same.
    m_comboCom->setCurrentIndex(index);
    m_txtSetPath->setText(FromCp1252(m_program.config.SetPath));
    m_storedFast = m_preference != nullptr ? m_preference->wanted() : m_program.engine.pace().fast();
    m_chkFastLink->setChecked(m_storedFast);
}

void ProgramSetupDialog::ComboToSettings()
{
    m_program.config.ComPortIndex = static_cast<std::int16_t>(shownPortIndex());
    m_program.config.SetPath = ToCp1252(m_txtSetPath->text());
}

void ProgramSetupDialog::reject()
{
    // Escape and the title bar leave like "Close", and like "Close" not in the middle of an
    // edit: "Save" or "Cancel" ends that first.
    if (m_cmdClose->isEnabled())
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

void ProgramSetupDialog::save()
{
    setEditing(false);
    LockCombo();
    saveFastLink();
    ComboToSettings();
    const files::FileResult result = program::ApplyProgramSetup(m_program);
    showDevices();
    if (!result.ok)
        showSaveFailure(result);
}

// Only a changed choice touches the link: saving the port again neither ends a run that
// --fast made fast nor undoes a fall back to the standard pace.
void ProgramSetupDialog::saveFastLink()
{
    const bool wanted = m_chkFastLink->isChecked();
    if (wanted == m_storedFast)
        return;
    m_storedFast = wanted;
    if (m_preference != nullptr)
        m_preference->setWanted(wanted);
    m_program.engine.setPace(wanted ? link::kFastPace : link::kStandardPace);
    if (m_paceChanged)
        m_paceChanged();
}

void ProgramSetupDialog::setEditing(bool editing)
{
    m_cmdCancel->setEnabled(editing);
    m_cmdSave->setEnabled(editing);
    m_cmdClose->setEnabled(!editing);
    m_cmdWijzigen->setEnabled(!editing);
}

int ProgramSetupDialog::shownPortIndex() const
{
    return m_comboCom->findText(m_comboCom->currentText(), Qt::MatchFixedString);
}

void ProgramSetupDialog::showDevices()
{
    const int index = shownPortIndex();
    QString port = QStringLiteral("No port chosen");
    if (const std::string device = link::DeviceForPort(index + 1); index >= 0 && !device.empty()) {
        std::error_code error;
        const bool present = std::filesystem::exists(device, error);
        port = QString::fromStdString(device) +
               (present ? QStringLiteral(" \u2014 present") : QStringLiteral(" \u2014 not present"));
    }
    if (const std::string& given = m_program.port.deviceOverride(); !given.empty())
        port += QStringLiteral("\nIn use for this run (--port): ") + FromCp1252(given);
    m_portDevice->setText(port);

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
    auto* box = new QMessageBox(result.critical ? QMessageBox::Critical : QMessageBox::Warning,
                                result.title.empty() ? QStringLiteral("Pravenor") : FromCp1252(result.title),
                                FromCp1252(result.message), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("SaveFailedMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

} // namespace pravenor::ui
