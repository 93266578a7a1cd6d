#include "ui/dialogs/about_dialog.h"

#include "app/version.h"
#include "program/program.h"
#include "ui/dialogs/keep_in_front.h"
#include "ui/window_parts.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace pravenor::ui {

namespace {

// A blue tile with the initial over a serial bit train: the program's mark, drawn here so
// that no image file has to travel with it.
QPixmap drawLogo()
{
    constexpr int kSize = 64;
    QPixmap logo(kSize, kSize);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient tile(0, 0, 0, kSize);
    tile.setColorAt(0, QColor(40, 96, 176));
    tile.setColorAt(1, QColor(16, 44, 96));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(1, 1, kSize - 2, kSize - 2), 10, 10);

    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(36);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 2, kSize, 42), Qt::AlignCenter, QStringLiteral("P"));

    // Start bit, a few data bits, stop bit.
    const int bits[] = {1, 0, 1, 1, 0, 1, 0, 0, 1};
    QPainterPath train;
    const qreal low = 54;
    const qreal high = 46;
    const qreal step = 5.5;
    qreal x = 7;
    train.moveTo(x, high);
    for (const int bit : bits) {
        train.lineTo(x, bit != 0 ? high : low);
        x += step;
        train.lineTo(x, bit != 0 ? high : low);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 200, 64), 2));
    painter.drawPath(train);
    return logo;
}

} // namespace

AboutDialog::AboutDialog(program::Program& program, std::function<void()> debugLevelChanged,
                         QWidget* parent)
    : QDialog(parent), m_program(program), m_debugLevelChanged(std::move(debugLevelChanged)),
      m_logoFrame(new QFrame(this)), m_logo(new QLabel(m_logoFrame)),
      m_nameLabel(MakeLabel("Label3_1", "<big><b>Pravenor</b></big><br>Serial converter set-up",
                            m_logoFrame)),
      m_makerLabel(MakeLabel("Label3_0", "Quilmar", m_logoFrame)),
      m_webLabel(MakeLabel("Label6", "www.quilmar.nl", m_logoFrame)),
      m_versionLabel(MakeLabel("Label4", "", this)),
      m_levelLabel(MakeLabel("LabelLocalLog", "", this)),
      m_closeButton(MakeButton("CmdSluit", "Close", this, 'C'))
{
    NameDialog(this, "frmAbout", "About");

    m_logoFrame->setObjectName(QStringLiteral("FrameLogo"));
    m_logoFrame->setAccessibleName(QStringLiteral("Logo frame"));
    m_logoFrame->setFrameShape(QFrame::Box);
    m_logoFrame->setFrameShadow(QFrame::Sunken);
    m_logo->setObjectName(QStringLiteral("Image1"));
    m_logo->setAccessibleName(QStringLiteral("Pravenor logo"));
    m_logo->setPixmap(drawLogo());
    m_logo->setAlignment(Qt::AlignTop);
    m_nameLabel->setAccessibleName(QStringLiteral("Pravenor, Serial converter set-up"));
    m_levelLabel->setAccessibleName(QStringLiteral("Debug level"));
    m_levelLabel->setMinimumWidth(16);

    // The hidden switch answers on the frame alone: the picture and the texts on it keep
    // their double-clicks to themselves instead of handing them on to the frame.
    for (QWidget* inside : {static_cast<QWidget*>(m_logo), static_cast<QWidget*>(m_nameLabel),
                            static_cast<QWidget*>(m_makerLabel), static_cast<QWidget*>(m_webLabel)})
        inside->setAttribute(Qt::WA_NoMousePropagation);
    m_logoFrame->installEventFilter(this);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(m_nameLabel);
    texts->addWidget(m_makerLabel);
    texts->addWidget(m_webLabel);
    texts->addStretch();
    auto* logoRow = new QHBoxLayout(m_logoFrame);
    logoRow->setContentsMargins(12, 12, 24, 12);
    logoRow->setSpacing(16);
    logoRow->addWidget(m_logo);
    logoRow->addLayout(texts, 1);

    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(m_versionLabel);
    versionRow->addSpacing(12);
    versionRow->addWidget(m_levelLabel);
    versionRow->addStretch();
    versionRow->addWidget(m_closeButton);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(12);
    column->addWidget(m_logoFrame);
    column->addLayout(versionRow);

    m_versionLabel->setText(
        QStringLiteral("Software version: %1.%2").arg(app::kVersionMajor).arg(app::kVersionMinor));
    m_versionLabel->setAccessibleName(m_versionLabel->text());

    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    new KeepInFront(this);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_logoFrame && event->type() == QEvent::MouseButtonDblClick) {
        stepDebugLevel();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::stepDebugLevel()
{
    // Each double-click goes one level up, from Debug back to Off.
    app::DebugMode& level = m_program.DebugLevel;
    level = level == app::DebugMode::Off   ? app::DebugMode::Log
            : level == app::DebugMode::Log ? app::DebugMode::Debug
                                           : app::DebugMode::Off;
    m_levelLabel->setText(level == app::DebugMode::Debug ? QStringLiteral("2")
                                                         : QStringLiteral("1"));
    if (m_debugLevelChanged)
        m_debugLevelChanged();
}

} // namespace pravenor::ui
