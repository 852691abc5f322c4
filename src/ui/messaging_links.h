#pragma once
// What the contact window (TForm6) and the notice window (TForm15) need from the rest of the
// station, filled in by the main window. Every function is read at the moment of use; an unset
// one stands for an option that is off or a window that is not there.
#include <QByteArray>
#include <QRect>
#include <QString>
#include <functional>

class Ttalk2e;
namespace Net { class Outbox; }

namespace App {

struct ContactLinks {
    Net::Outbox& outbox;
    std::function<QString()> ownAddress = {};            // "自分のパソコン" address (Edit35)
    std::function<bool()> logOn = {};                    // "記録を説明ページに保存" (CheckBox32)
    std::function<void(const QString&)> log = {};        // a line at the end of the explanation page
    std::function<void(const QString&)> message = {};    // a message under "メッセージを表示する"
};

struct NoticeLinks {
    Net::Outbox& outbox;
    std::function<bool()> logOn = {};                    // "記録を説明ページに保存" (CheckBox32)
    std::function<void(const QString&)> log = {};        // a line at the end of the explanation page
    std::function<void(const QString&)> message = {};    // a message under "メッセージを表示する"
    std::function<bool()> hasPartner = {};               // a partner is paired
    std::function<QRect()> displayArea = {};             // the caption display on the screen
    // "テロップを受信しない" is mirrored into the main window's "お知らせ（テロップ）を受信しない。".
    std::function<void(bool)> receiveOffChanged = {};
    // The template and pre-roll window: "カンマで区切った設定も送信する。", "表示を左端で止める。"
    // and the end of pre-roll 1.
    std::function<bool()> sendCommaSettings = {};
    std::function<bool()> rollStopsAtLeft = {};
    std::function<void(const QString&)> appendToPreroll = {};
};

// Both filled in by the main window (main_window_messaging.cpp) when it creates the windows.
ContactLinks contactLinks(Ttalk2e& main);
NoticeLinks noticeLinks(Ttalk2e& main);

}  // namespace App
