#include "audience/audience_panel.h"

#include "audience/qr_code.h"
#include "audience/service.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSignalBlocker>

namespace Audience {

AudiencePanel::AudiencePanel(Service& service, QWidget* parent)
    : QGroupBox(QStringLiteral("観客用ページ"), parent), service_(service) {
    setObjectName(QStringLiteral("GroupAudience"));
    enabledBox = new QCheckBox(QStringLiteral("観客用ページを公開する"), this);
    enabledBox->setObjectName(QStringLiteral("CheckAudience"));
    portEdit = new QLineEdit(QString::number(service.port()), this);
    portEdit->setObjectName(QStringLiteral("EditAudiencePort"));
    portEdit->setValidator(new QIntValidator(1, 65535, portEdit));
    portEdit->setMaximumWidth(80);
    addressLabel = new QLabel(this);
    addressLabel->setObjectName(QStringLiteral("LabelAudienceAddress"));
    addressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    qrLabel = new QLabel(this);
    qrLabel->setObjectName(QStringLiteral("LabelAudienceQr"));
    qrLabel->setAlignment(Qt::AlignCenter);
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("LabelAudienceStatus"));
    statusLabel->setWordWrap(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(enabledBox, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("ポート番号"), this), 1, 0);
    grid->addWidget(portEdit, 1, 1, Qt::AlignLeft);
    grid->addWidget(addressLabel, 2, 0, 1, 2);
    grid->addWidget(qrLabel, 3, 0, 1, 2);
    grid->addWidget(statusLabel, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);  // the caption column stays as wide as "ポート番号", beside its field

    connect(enabledBox, &QCheckBox::toggled, this, &AudiencePanel::enabledClicked);
    connect(portEdit, &QLineEdit::editingFinished, this, &AudiencePanel::portEdited);
    // A value set from outside (the settings file) applies at once; typing applies when done.
    connect(portEdit, &QLineEdit::textChanged, this, [this] {
        if (!portEdit->hasFocus()) portEdited();
    });
    connect(&service, &Service::enabledChanged, this, [this](bool on) {
        const QSignalBlocker quiet(enabledBox);
        enabledBox->setChecked(on);
        refresh();
    });
    connect(&service, &Service::readerCountChanged, this, [this](int n) {
        readers_ = n;
        refresh();
    });
    refresh();
}

void AudiencePanel::setOwnAddress(const QString& address) {
    if (address == ownAddress_) return;
    ownAddress_ = address;
    refresh();
}

void AudiencePanel::enabledClicked(bool on) {
    if (!service_.setEnabled(on)) {
        const QSignalBlocker quiet(enabledBox);
        enabledBox->setChecked(false);
    }
    refresh();
}

void AudiencePanel::portEdited() {
    bool ok = false;
    const int port = portEdit->text().toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        const QSignalBlocker quiet(portEdit);
        portEdit->setText(QString::number(service_.port()));
        return;
    }
    service_.setPort(quint16(port));
    refresh();
}

void AudiencePanel::refresh() {
    const bool on = service_.isEnabled();
    if (!on) {
        addressLabel->setText(QStringLiteral("公開していません"));
        qrLabel->clear();
        statusLabel->setText(service_.errorString());
        return;
    }
    const QString address = service_.pageAddress(ownAddress_.isEmpty() ? QStringLiteral("127.0.0.1") : ownAddress_);
    addressLabel->setText(address);
    qrLabel->setPixmap(QPixmap::fromImage(QrCode(address, 6)));  // big enough to scan off a projected screen
    statusLabel->setText(QStringLiteral("接続中の観客：%1人").arg(readers_));
}

}  // namespace Audience
