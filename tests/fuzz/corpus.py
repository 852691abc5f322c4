#!/usr/bin/env python3
"""Writes the starting inputs of every fuzz target into corpus/<target>/valid-*: valid messages and
files of each format, in the byte layout each target reads (see the comment at the top of each
target). Inputs that libFuzzer found and that were kept are other files beside them."""
import base64
import os
import re
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def sj(text):
    return text.encode("cp932")


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "valid-" + name), "wb") as f:
        f.write(data)


HEADER = sj("999:＜番号付き表示設定ファイル２＞")
BLANK = sj("$改行$")


# ---- traffic scrambling, as the stations do it, for payloads of scrambled ports ----
def derive_key(password):
    s = sum(b - 256 if b > 127 else b for b in password)
    return -s if s < 0 else s


def scramble(plain, password, key):
    n = len(plain)
    if n == 0:
        return b""
    h = n // 2
    work = bytearray(n)
    for i in range(h):
        work[2 * i] = plain[i]
        work[2 * i + 1] = plain[h + i]
    if n % 2:
        work[n - 1] = plain[n - 1]
    carry = work[n - 1] & 1
    for i in range(n):
        b = work[i]
        work[i] = (b >> 1) | (carry << 7)
        carry = b & 1
    p = key % len(password)
    for i in range(n):
        k = password[p]
        if work[i] != k:
            work[i] ^= k
        p = (p + 1) % len(password)
    return base64.b64encode(bytes(work))


PASSWORD = sj("既定の共有合言葉その一番")
KEY = derive_key(PASSWORD)


# ---- per target ----
def texts():
    return [sj("今日は良い天気です。"), b"plain ascii line", sj("ｶﾀｶﾅ半角"), sj("漢字`rかんじ`sの練習"),
            BLANK, b"\x82", sj("表") + b"\x5c" + b"tail", sj("①②③") + b"\r\n" + sj("２行目")]


def cp932():
    for i, t in enumerate(texts()):
        write("cp932", "text%d" % i, struct.pack("<H", i * 3) + t)


def unscramble():
    for i, t in enumerate(texts()):
        write("unscramble", "payload%d" % i,
              bytes([len(PASSWORD), KEY & 0xFF, KEY >> 8, 0]) + PASSWORD + scramble(t, PASSWORD, KEY))
    write("unscramble", "nopassword", bytes([0, 0, 0, 0]) + b"QUJD")


def control_split():
    msgs = ["192.168.1.10,Ａさん,Req,1", "192.168.1.11,192.168.1.10,Ｂさん,Ans,1",
            "192.168.1.11,192.168.1.10,Ｂさん,Ful", "192.168.1.10,192.168.1.11,Ａ,Req-Partner,Req",
            "192.168.1.10,192.168.1.11,Ａ,Can-Partner,Ans", "192.168.1.10,Ａ,離脱",
            "192.168.1.10,入力中の文, 読点つき", "3,パレットの文", "漢字,かんじ,余分", "42", "undo", "$del$",
            "$set$999:＜番号付き表示設定ファイル２＞", "12:34:56:789,時刻付きの行", "a,b,c,d,e,f,g,h,i,j,k,l"]
    for i, m in enumerate(msgs):
        write("control_split", "msg%d" % i, sj(m))
    write("control_split", "longfield", sj("長" * 60 + ",x"))


def columns():
    cases = [(0, 20, "前の行", "これは長い行の`rよみ`sテキストですから分けます"), (1, 10, "", "abcdefghijklmnopqrstuvwxyz"),
             (1, 12, "途中まで", "続きの文字列が来ます"), (0, 1, "", "全角"), (0, 4, "", "`r`s``x`")]
    for i, (mode, width, last, text) in enumerate(cases):
        write("columns", "split%d" % i, bytes([mode, width + 8]) + sj(last) + b"\n" + sj(text))


def ruby():
    cases = [(0, 3, "漢字", "かんじ", "今日は漢字の練習\n漢字テスト"), (1, 1, "字", "じ", "字"),
             (0, 2, "東京", "とうきょう", "`rとうきょう`s東京へ行く\n東京"), (0, 5, "a", "b", "`ra`s a a\n\naa")]
    for i, (mode, lines, base, reading, window) in enumerate(cases):
        write("ruby", "annotate%d" % i, bytes([mode, lines]) + sj(base + "\n" + reading + "\n" + window))


def notice_batch(text):
    return [HEADER, sj("500:100:ウィンドウの高さ"), sj("501:640:ウィンドの幅"), sj("502:0:ウィンドの縦位置"),
            sj("503:0:ウィンドの横位置"), sj("504:%s:表示文字列" % text), sj("505:true:テロップウィンドを消す"),
            sj("506:false:loopしない"), sj("508:0:ループ"), sj("509:50:スクロール間隔"), sj("510:3:スクロール移動量"),
            sj("511:ＭＳ ゴシック:表示のフォントの種類"), sj("512:255:表示のフォントの色"), sj("513:36:表示のフォントサイズ"),
            sj("514:16777215:背景色"), sj("515:fsbold:太字"), sj("522:true:高さを自動調整"), sj("900:true:表示")]


def notice_lines():
    write("notice_lines", "batch", b"\x00" + b"\n".join(notice_batch("お知らせです") + [sj("$end$")]))
    write("notice_lines", "settingsoff", b"\x01" + b"\n".join(notice_batch("時刻:12:00") + [sj("$end$")]))
    write("notice_lines", "stop", b"\x00" + b"\n".join([HEADER, sj("901:true:停止"), sj("$end$")]))
    write("notice_lines", "comma", b"\x00" + sj("お知らせ本文,500:100,501:640,505:true,513:40,515:fsbold"))
    write("notice_lines", "numbers", b"\x00" + b"\n".join([b"-2147483648", b"+2147483647", b"2147483648", b"007"]))


def reference_rows():
    with open(os.path.join(HERE, "..", "unit", "settings_reference.h"), encoding="utf-8") as f:
        src = f.read()
    rows = re.findall(r'\{\s*(\d+),\s*K::(\w+),\s*(?:"([^"]*)"|nullptr)', src)
    words = dict((int(k), s) for k, s, _ in re.findall(r'\{(\d+),\s*"([^"]*)",\s*"([^"]*)"\}', src))
    return [(int(k), kind, comment or "") for k, kind, comment in rows], words


def settings_file():
    rows, words = reference_rows()
    values = {"Int": "100", "Colour": "16777215", "FontName": "ＭＳ ゴシック", "OnOff": "on", "TrueFalse": "true",
              "FontStyle": "fsbold", "Text": "文字", "Digit": "3"}
    lines = [HEADER]
    for key, kind, comment in rows:
        if kind in ("Command",) or key in (801, 802, 166):
            continue
        if kind == "Unused":
            lines.append(sj("%03d:未使用" % key))
            continue
        value = words.get(key, "") if kind == "Word" else values[kind]
        lines.append(sj("%03d:%s:%s" % (key, value, comment)))
    lines += [sj("801:0:チャンネル"), sj("802:1:班"), sj("166:ＰＣ１:自分のパソコンのホスト名（最後に書く）")]
    return b"\r\n".join(lines) + b"\r\n"


def settings():
    full = settings_file()
    small = [b"\r\n".join([HEADER, sj("009:48:表示部のフォントサイズ"), sj("008:255:表示部のフォントの色")]),
             b"\r\n".join([HEADER, sj("801:2:チャンネル"), sj("802:3:班")]),
             b"\r\n".join([HEADER, sj("001:abc:幅"), sj("002:5:縦位置")]),
             b"\n".join([HEADER, sj("030:未使用"), sj("868:2:カタカナ"), sj("600::合わせる")]),
             sj("998:旧い版の見出し") + b"\r\n" + sj("001:100:幅")]
    for target in ("settings_table", "settings_station"):
        write(target, "full", full)
        for i, s in enumerate(small):
            write(target, "small%d" % i, s)


def text_scramble():
    lines = ["文先頭　", "", "今日の講演を始めます。", "ｶﾀｶﾅ and ascii ~", "①記号と漢字"]
    write("text_scramble", "display", bytes([6]) + b"Quelta" + b"\r\n".join(sj(l) for l in lines))
    write("text_scramble", "nopassword", bytes([0]) + sj("一行だけ"))
    write("text_scramble", "longpassword", bytes([20]) + sj("長いパスワードです！") + b"\r\n" + sj("継続保存\r\n本文"))


# ---- settings transfers from the partner: [flags] then transfer lines, one a line ----
def settings_transfer():
    fit = [sj("001:1280:メインウィンドの幅"), sj("004:8:マニュアル調整の表示行数"), sj("009:40:表示部のフォントサイズ"),
           sj("608:true:行数から行間を調整するのボタン")]
    hostile = [sj("000:2147483647:ウィンドウの高さ"), sj("001:20000:メインウィンドの幅"), sj("002:-2147483648:縦位置"),
               sj("801:5:チャンネル"), sj("802:7:班"), sj("008:16777215:表示部のフォントの色"),
               sj("009:2147483647:表示部のフォントサイズ"), sj("122:0:８人モニターの高さ"), sj("017:-5:入力部の高さ")]
    write("settings_transfer", "fit", bytes([1]) + b"\n".join(fit))
    write("settings_transfer", "hostile", bytes([1]) + b"\r\n".join(hostile))
    write("settings_transfer", "open", bytes([2]) + b"\n".join(fit[:2]))  # no header: logged, nothing applied
    write("settings_transfer", "file", bytes([0]) + settings_file())
    write("settings_transfer", "command", bytes([1]) + sj("603:こんにちは:挨拶") + b"\n" + sj("609:true:大きさを送れ"))


# ---- the station: datagrams to station A, each [selector][length, 2 bytes LE][payload] ----
PORTS = [6711, 6712, 6713, 6717, 6718, 6719, 6720, 6721, 6722, 6723, 6724, 6727, 6730, 6731, 6732, 6734, 6735, 6736]
SCRAMBLING, WRAP, STRANGER = 0x20, 0x40, 0x80


def datagram(port, payload, flags=0):
    if isinstance(payload, str):
        payload = sj(payload)
    return bytes([PORTS.index(port) | flags]) + struct.pack("<H", len(payload)) + payload


def station():
    starts = {
        "lines": [datagram(6711, "こんにちは"), datagram(6711, BLANK), datagram(6711, "12:34:56:789,時刻付きの行"),
                  datagram(6723, "undo"), datagram(6711, "次の行"), datagram(6723, "del"), datagram(6723, "cls")],
        "partner": [datagram(6712, "入力中"), datagram(6712, "$null$"), datagram(6712, "$clear$"), datagram(6712, " ")],
        "transfer": [datagram(6712, b"$set$" + HEADER), datagram(6712, "$set$009:40:表示部のフォントサイズ"),
                     datagram(6712, "$set$607:true:ウィンドの大きさなど送れの指示"), datagram(6712, "$end$")],
        "corrections": [datagram(6713, "`*"), datagram(6713, "直した行"), datagram(6713, "$null$"),
                        datagram(6713, "＜エラー＞行数違い！"), datagram(6713, "前ロール"), datagram(6713, "`@")],
        "team": [datagram(6722, "192.168.1.20,Ｃさん,Req,1", STRANGER), datagram(6718, "192.168.1.11,192.168.1.10,Ｂ,Ans,1"),
                 datagram(6718, "192.168.1.21,192.168.1.10,Ｄ,Ful", STRANGER),
                 datagram(6719, "192.168.1.11,192.168.1.10,Ｂ,Req-Partner,Req"),
                 datagram(6719, "192.168.1.11,192.168.1.10,Ｂ,Can-Partner,Req"), datagram(6724, "192.168.1.11,Ｂ,離脱")],
        "monitor": [datagram(6721, "192.168.1.11,入力中の文"), datagram(6721, "192.168.1.11,●消去●"),
                    datagram(6721, "192.168.1.11,$改行$")],
        "contact": [datagram(6727, "連絡です"), datagram(6727, "[Ｂ]返事をください")],
        "notice": [datagram(6731, l) for l in notice_batch("お知らせです")] + [datagram(6731, "$end$")],
        "palette": [datagram(6730, "確認する行"), datagram(6717, "1,直した行"), datagram(6732, "2,モニターの文")],
        "preroll": [datagram(6734, "前ロール一行目"), datagram(6735, "$消去$"), datagram(6720, "3"), datagram(6736, "漢字,かんじ")],
        "scrambled": [datagram(6711, "暗号の行", SCRAMBLING | WRAP), datagram(6727, "暗号の連絡", SCRAMBLING | WRAP),
                      datagram(6711, "plain", SCRAMBLING), datagram(6723, "undo", SCRAMBLING)],
        "loopback": [datagram(6711, "兄弟から", STRANGER | WRAP), datagram(6711, "x" * 1023), datagram(6711, "y" * 1024)],
    }
    for name, records in starts.items():
        write("station", name, b"".join(records))


# ---- libFuzzer dictionaries: the words of each format, code page 932 ----
def dictionaries():
    def esc(b):
        return "".join(chr(c) if 32 <= c < 127 and c not in (34, 92) else "\\x%02X" % c for c in b)

    def dictionary(name, title, words):
        os.makedirs(os.path.join(HERE, "dict"), exist_ok=True)
        with open(os.path.join(HERE, "dict", name + ".dict"), "w") as f:
            f.write("# %s, code page 932.\n" % title)
            for w in words:
                f.write('"%s"\n' % esc(w.encode("cp932")))

    dictionary("station", "Tokens of the team's protocol",
               ["$改行$", "●消去●", "$null$", "$clear$", "$set$", "$end$", "＜エラー＞行数違い！", "`@", "`*", "`r", "`s",
                "undo", "del", "cls", "$undo$", "$del$", "$cls$", ",Req", ",Ans", ",Ful", "Req-Partner", "Can-Partner",
                ",離脱", "$消去$", "$next$", "$befor$", "999:＜番号付き表示設定ファイル２＞", "900:true:表示",
                "901:true:停止", "192.168.1.11", "192.168.1.10", "127.0.0.1"])
    settings_words = ["999:＜番号付き表示設定ファイル２＞", "on", "off", "true", "false", "fsbold", "fsItalic",
                      "fsUnderline", "!fsbold", "801:", "802:", "166:", "600:", "607:", "620:", "８人モニター表示",
                      "Ｆキーメモ表示", "\r\n", "-2147483640"]
    for name in ("settings_station", "settings_table", "settings_transfer"):
        dictionary(name, "Words of the numbered settings file", settings_words)
    dictionary("notice_lines", "Lines and words of notices",
               ["999:＜番号付き表示設定ファイル２＞", "$end$", "900:true", "901:true", "504:", "true", "false", ","])


if __name__ == "__main__":
    dictionaries()
    cp932()
    unscramble()
    control_split()
    columns()
    ruby()
    notice_lines()
    settings()
    settings_transfer()
    text_scramble()
    station()
