#pragma once
// The audience page's group on the page "補助Ｗ": the switch, the port, the page's address and its
// QR code, and how many readers are connected. The settings binders reach the switch and the port
// field directly (keys 950 and 951).
#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace Audience {

class Service;

class AudiencePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit AudiencePanel(Service& service, QWidget* parent = nullptr);

    // The station's own address (Edit35), which the page's address is made of.
    void setOwnAddress(const QString& address);

    QCheckBox* enabledBox = nullptr;  // "観客用ページを公開する"
    QLineEdit* portEdit = nullptr;    // port, default "8711"
    QLabel* addressLabel = nullptr;
    QLabel* qrLabel = nullptr;
    QLabel* statusLabel = nullptr;

private:
    void enabledClicked(bool on);
    void portEdited();
    void refresh();

    Service& service_;
    QString ownAddress_;
    int readers_ = 0;
};

}  // namespace Audience
