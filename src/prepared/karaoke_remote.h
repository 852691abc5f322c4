#pragma once
// TFmojikara: the karaoke and send remote, which drives the partner's karaoke progress. Send only.
#include "app/aux_window.h"

class QCheckBox;

class TFmojikara : public AuxWindow {
    Q_OBJECT
public:
    explicit TFmojikara(const App::WindowContext& context);
    // Rebound with the channel only while one of the two modes is on.
    QList<Net::DatagramEndpoint*> channelEndpoints() override;

    Net::DatagramEndpoint* NMUDP1 = nullptr;  // 6716 ("文字ｶﾗ") or 6728 ("ｶﾗｵｹ")
    QCheckBox* CheckBox59 = nullptr;          // "文字ｶﾗに送信"
    QCheckBox* CheckBox1 = nullptr;           // "ｶﾗｵｹに送信"
};
