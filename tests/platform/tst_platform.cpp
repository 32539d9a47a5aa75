// Settings store, number rules, text decoding, the target view, the key
// translation and the window registry.
#include "platform/anireader.h"
#include "platform/avireader.h"
#include "platform/forms.h"
#include "platform/keymap.h"
#include "platform/numbers.h"
#include "platform/richtextview.h"
#include "platform/settingsstore.h"
#include "platform/textcodec.h"
#include "platform/units.h"
#include "testenv.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <unistd.h>

class TstPlatform : public QObject {
    Q_OBJECT
private slots:
    void settingsRoundTrip();
    void settingsUnwritable();
    void settingsAbused_data();
    void settingsAbused();
    void parsing_data();
    void parsing();
    void rounding_data();
    void rounding();
    void numberText_data();
    void numberText();
    void cp1252();
    void rtf_data();
    void rtf();
    void utf8Detection_data();
    void utf8Detection();
    void viewOffsets();
    void viewLongParagraph_data();
    void viewLongParagraph();
    void viewChangeGathered_data();
    void viewChangeGathered();
    void marksAsQtSelections_data();
    void marksAsQtSelections();
    void viewLoad_data();
    void viewLoad();
    void viewLoadRefusals();
    void fileReads_data();
    void fileReads();
    void unicodeTexts_data();
    void unicodeTexts();
    void settingsAfterFormatError();
    void keymap_data();
    void keymap();
    void keyCharacters_data();
    void keyCharacters();
    void colours();
    void forms();
};

void TstPlatform::settingsRoundTrip() {
    QTemporaryDir dir;
    const QString file = dir.filePath("s.ini");
    {
        SettingsStore s(file);
        QCOMPARE(s.GetSetting("Velkora", "Optionen", "Benutzer", "leer"), QString("leer"));
        QCOMPARE(s.GetSetting("Velkora", "Optionen", "Benutzer"), QString());
        QVERIFY(s.SaveSetting("Velkora", "Optionen", QString::fromUtf8("CheckGeräusch"), "False"));
        QVERIFY(s.SaveSetting("Velkora", "Optionen", "Benutzer", QString::fromUtf8("Müller, Anna")));
        QVERIFY(s.SaveSetting("Velkora", "Settings", "MainLeft", "570"));
    }
    // A second store over the same file sees every value: writes are immediate.
    SettingsStore t(file);
    QCOMPARE(t.GetSetting("Velkora", "Optionen", QString::fromUtf8("CheckGeräusch"), "True"), QString("False"));
    QCOMPARE(t.GetSetting("Velkora", "Optionen", "CheckGerausch", "absent"), QString("absent"));
    QCOMPARE(t.GetSetting("Velkora", "Optionen", "Benutzer"), QString::fromUtf8("Müller, Anna"));
    QCOMPARE(t.GetSetting("Velkora", "Settings", "MainLeft"), QString("570"));
    QCOMPARE(t.GetSetting("Velkora", "Optionen", "MainLeft", "x"), QString("x"));
}

void TstPlatform::settingsUnwritable() {
    QTemporaryDir dir;
    // A directory where the file should be: every write fails, none throws.
    QDir().mkpath(dir.filePath("s.ini"));
    SettingsStore s(dir.filePath("s.ini"));
    QVERIFY(!s.SaveSetting("Velkora", "Optionen", "Benutzer", "Anna"));
}

// A settings file a user or a tool made unfit: read at once, nothing blocks,
// a failed write says why, and nothing is lost.
void TstPlatform::settingsAbused_data() {
    QTest::addColumn<QString>("art");  // a Sonderdatei kind, or "datei" / "nurlesen" with this content
    QTest::addColumn<QByteArray>("inhalt");
    QTest::addColumn<QString>("benutzer");  // the name read back
    QTest::addColumn<QString>("grund");     // of the write failure; empty: writes succeed
    const int n = SettingsStore::kMaxValueLength;
    QTest::newRow("a 10 MB name") << "datei" << "[Optionen]\nBenutzer=" + QByteArray(10 << 20, 'B') << QString(n, 'B')
                                  << "";
    QByteArray abschnitte("[Optionen]\nBenutzer=Anna\n");
    for (int i = 0; i < 300000; ++i) abschnitte += "[S" + QByteArray::number(i) + "]\nk=v\n";
    QTest::newRow("300 000 sections") << "datei" << abschnitte << "Anna" << "";
    QTest::newRow("read-only file") << "nurlesen" << QByteArray("[Optionen]\nBenutzer=Anna") << "Anna"
                                    << "schreibgeschützt";
    QTest::newRow("a named pipe") << "fifo" << QByteArray() << "" << "sondern eine Pipe";
}

void TstPlatform::settingsAbused() {
    QFETCH(QString, art);
    QFETCH(QByteArray, inhalt);
    QFETCH(QString, benutzer);
    QFETCH(QString, grund);
    if (art == "nurlesen" && geteuid() == 0) QSKIP("root writes into read-only files; the suite runs this as a user");
    QTemporaryDir dir;
    const QString file = dir.filePath("Velkora.ini");
    Sonderdatei sonder(art, file);
    QFile f(file);
    if (art == "datei" || art == "nurlesen") QVERIFY(f.open(QIODevice::WriteOnly) && f.write(inhalt) && f.flush());
    if (art == "nurlesen") QFile::setPermissions(file, QFile::ReadOwner);
    SettingsStore s(file);
    s.setProgramKeys({"Optionen/Benutzer", "Optionen/Tdauer"});
    QCOMPARE(s.GetSetting("Velkora", "Optionen", "Benutzer"), benutzer);
    QCOMPARE(s.SaveSetting("Velkora", "Optionen", "Tdauer", "7"), grund.isEmpty());
    const QString warum = s.writeProblem("Velkora");
    QVERIFY2(grund.isEmpty() || (warum.contains(file) && warum.contains(grund)), qPrintable(warum));
    // A file far too large lies beside the new one, unchanged; the new one is read as it stands.
    const QStringList beiseite = QDir(dir.path()).entryList({"Velkora.ini.zu-gross-*"});
    QCOMPARE(beiseite.size(), inhalt.size() > SettingsStore::kMaxFileBytes ? 1 : 0);
    for (const QString& b : beiseite) {
        QCOMPARE(QFileInfo(dir.filePath(b)).size(), inhalt.size());
        QVERIFY2(s.notice("Velkora").contains(b), qPrintable(s.notice("Velkora")));
        QVERIFY(QFileInfo(file).size() < SettingsStore::kMaxFileBytes);
    }
}

void TstPlatform::settingsAfterFormatError() {
    // A line the store cannot parse: the file is still written, and the
    // write reports so.
    QTemporaryDir dir;
    const QString file = dir.filePath("s.ini");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Optionen]\nBenutzer=Bob\n[kaputt\nx=\"offen\n");
    f.close();
    SettingsStore s(file);
    QCOMPARE(s.GetSetting("Velkora", "Optionen", "Benutzer"), QString("Bob"));
    QVERIFY(s.SaveSetting("Velkora", "Optionen", "Benutzer", "Anna"));
    QVERIFY(s.SaveSetting("Velkora", "Optionen", "Tdauer", "7"));
    SettingsStore t(file);
    QCOMPARE(t.GetSetting("Velkora", "Optionen", "Benutzer"), QString("Anna"));
    QCOMPARE(t.GetSetting("Velkora", "Optionen", "Tdauer"), QString("7"));
}

void TstPlatform::parsing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("bool True") << "bool" << "True" << true << 1.0;
    QTest::newRow("bool false lower") << "bool" << "false" << true << 0.0;
    // Written by hand into the file.
    QTest::newRow("bool true lower") << "bool" << "true" << true << 1.0;
    QTest::newRow("bool TRUE") << "bool" << "TRUE" << true << 1.0;
    QTest::newRow("bool FALSE") << "bool" << "FALSE" << true << 0.0;
    QTest::newRow("bool number") << "bool" << "-1" << true << 1.0;
    QTest::newRow("bool zero") << "bool" << "0" << true << 0.0;
    QTest::newRow("bool word") << "bool" << "vielleicht" << false << 0.0;
    QTest::newRow("bool empty") << "bool" << "" << false << 0.0;
    QTest::newRow("int32 colour") << "int32" << "16761024" << true << 16761024.0;
    QTest::newRow("int32 too big") << "int32" << "9999999999999" << false << 0.0;
    QTest::newRow("int32 text") << "int32" << "abc" << false << 0.0;
    QTest::newRow("int32 half even") << "int32" << "12.5" << true << 12.0;
    QTest::newRow("int16 five") << "int16" << " 5 " << true << 5.0;
    QTest::newRow("int16 overflow") << "int16" << "40000" << false << 0.0;
    QTest::newRow("int16 negative") << "int16" << "-32768" << true << -32768.0;
    QTest::newRow("int16 nan") << "int16" << "nan" << false << 0.0;
}

void TstPlatform::parsing() {
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    if (kind == "bool") {
        bool b = false;
        QCOMPARE(parseBool(text, b), ok);
        if (ok) QCOMPARE(b, value != 0);
    } else if (kind == "int32") {
        qint32 v = 7;
        QCOMPARE(parseInt32(text, v), ok);
        QCOMPARE(v, ok ? qint32(value) : 7);  // a failed conversion leaves the value
    } else {
        qint16 v = 7;
        QCOMPARE(parseInt16(text, v), ok);
        QCOMPARE(v, ok ? qint16(value) : qint16(7));
    }
}

void TstPlatform::rounding_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("1 of 200 is a tie to 0") << 1.0 / 200 << 2 << 0.0;
    QTest::newRow("3 of 200 is a tie to 0.02") << 3.0 / 200 << 2 << 0.02;
    QTest::newRow("3 of 140") << 3.0 / 140 << 2 << 0.02;
    QTest::newRow("2.5 to 2") << 2.5 << 0 << 2.0;
    QTest::newRow("3.5 to 4") << 3.5 << 0 << 4.0;
    QTest::newRow("-2.5 to -2") << -2.5 << 0 << -2.0;
    QTest::newRow("0.25 to 0.2") << 0.25 << 1 << 0.2;
    QTest::newRow("0.75 to 0.8") << 0.75 << 1 << 0.8;
    QTest::newRow("1.5 minutes") << 90.0 / 60 << 1 << 1.5;
    QTest::newRow("199/200") << 199.0 / 200 << 2 << 1.0;
    QTest::newRow("201/200") << 201.0 / 200 << 2 << 1.0;
}

void TstPlatform::rounding() {
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(rundeGerade(value, decimals), expected);
}

void TstPlatform::numberText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 140.0 << "140";
    QTest::newRow("comma") << 1.25 << "1,25";
    QTest::newRow("percent of 0.02") << 0.02 * 100 << "2";
    QTest::newRow("percent of 0.07") << 0.07 * 100 << "7";
    QTest::newRow("fifteen digits") << 0.1 + 0.2 << "0,3";
    QTest::newRow("third") << 1.0 / 3 << "0,333333333333333";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("negative") << -1.5 << "-1,5";
    QTest::newRow("large") << 1e20 << "1E+20";
}

void TstPlatform::numberText() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(zahlText(value), text);
}

void TstPlatform::cp1252() {
    QByteArray all;
    for (int i = 0; i < 256; ++i) all.append(char(i));
    const QString s = decodeCp1252(all);
    QCOMPARE(s.size(), 256);
    QCOMPARE(s[0x80], QChar(0x20AC));
    QCOMPARE(s[0x8A], QChar(0x0160));
    QCOMPARE(s[0x9F], QChar(0x0178));
    QCOMPARE(s[0x81], QChar(0x0081));  // unassigned: kept as the C1 code
    QCOMPARE(s[0xE4], QChar(0x00E4));
    QCOMPARE(s[0xDF], QChar(0x00DF));
    QCOMPARE(encodeCp1252(s), all);  // every code survives the round trip
    QCOMPARE(encodeCp1252(QString(QChar(0x4E2D))), QByteArray("?"));
}

void TstPlatform::rtf_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("plain");
    QTest::newRow("paragraphs") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Hallo\\par Welt\\par}")
                                << "Hallo\nWelt";
    QTest::newRow("hex escape") << QByteArray("{\\rtf1 Gr\\'fc\\'dfe}") << QString::fromUtf8("Grüße");
    QTest::newRow("unicode escape") << QByteArray("{\\rtf1\\uc1 \\u8364?uro}") << QString::fromUtf8("€uro");
    QTest::newRow("negative unicode") << QByteArray("{\\rtf1 \\u-4064?}") << QString(QChar(0xF020));
    QTest::newRow("colour table skipped")
        << QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\*\\generator X;}abc}") << "abc";
    QTest::newRow("line and tab") << QByteArray("{\\rtf1 a\\line b\\tab c}") << "a\nb\tc";
    QTest::newRow("escaped braces") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << "{x}\\";
    QTest::newRow("raw breaks are no text") << QByteArray("{\\rtf1 ab\r\ncd}") << "abcd";
    QTest::newRow("truncated") << QByteArray("{\\rtf1 abc\\'e") << "abc";
    QTest::newRow("unbalanced") << QByteArray("{\\rtf1 a}}}b") << "ab";
}

void TstPlatform::rtf() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, plain);
    QVERIFY(isRtf(rtf));
    QCOMPARE(decodeTextFile(rtf), plain);
}

void TstPlatform::utf8Detection_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("allowUtf8");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf8 umlauts") << QByteArray("gr\xC3\xBC\xC3\x9F") << true << QString::fromUtf8("grüß");
    QTest::newRow("utf8 with bom") << QByteArray("\xEF\xBB\xBFok") << true << "ok";
    QTest::newRow("cp1252 stays") << QByteArray("gr\xFC\xDF") << true << QString::fromUtf8("grüß");
    QTest::newRow("utf8 not allowed") << QByteArray("\xC3\xBC") << false << QString::fromUtf8("Ã¼");
    // Windows-1252 that happens to hold one valid UTF-8 pair stays so.
    QTest::newRow("cp1252 with one utf8-like pair")
        << QByteArray("Fu\xDF\x93 \xFC\xF6") << true << QString::fromUtf8("Fuß“ üö");
    QTest::newRow("line breaks") << QByteArray("a\r\nb\rc\nd") << false << "a\nb\nc\nd";
}

void TstPlatform::utf8Detection() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, allowUtf8);
    QFETCH(QString, text);
    QCOMPARE(decodeTextFile(bytes, allowUtf8), text);
}

void TstPlatform::viewOffsets() {
    RichTextView v;
    v.setText("ab\ncd\n\nef");
    QCOMPARE(v.text(), QString("ab\r\ncd\r\n\r\nef"));
    // Offsets count CR LF as two characters: 'c' is at 4, 'e' at 10.
    v.setSelection(4, 1);
    v.setSelColor(Qt::red);
    v.setSelMarker(true);
    QCOMPARE(v.charColor(4), QColor(Qt::red));
    QVERIFY(v.charMarker(4));
    QCOMPARE(v.charColor(5), QColor(Qt::black));
    QVERIFY(!v.charMarker(0));
    v.setSelection(10, 2);
    v.setSelColor(Qt::blue);
    QCOMPARE(v.charColor(10), QColor(Qt::blue));
    QCOMPARE(v.charColor(11), QColor(Qt::blue));
    QCOMPARE(v.charColor(4), QColor(Qt::red));
    QCOMPARE(v.charColor(1), QColor(Qt::black));
    QCOMPARE(v.selStart(), 10);
    QCOMPARE(v.selLength(), 2);
    // Selections beyond the end are clamped.
    v.setSelection(100, 5);
    QCOMPARE(v.selStart(), 12);
    QCOMPARE(v.selLength(), 0);
    // Formatting leaves the text as it was.
    QCOMPARE(v.text(), QString("ab\r\ncd\r\n\r\nef"));
    v.setText(QString());
    QCOMPARE(v.text(), QString());
}

// A paragraph of many lines is held in pieces cut where lines start: every
// piece but a paragraph's last fills its lines exactly, at every width, and
// the text, offsets and marks stay as they were.
void TstPlatform::viewLongParagraph_data() {
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("one width") << QList<int>{600};
    QTest::newRow("narrower") << QList<int>{600, 300};
    QTest::newRow("wider") << QList<int>{300, 700};
}

void TstPlatform::viewLongParagraph() {
    QFETCH(QList<int>, widths);
    const QString text = QString("ein langer satz ohne ende ").repeated(60) + "\r\nkurz";
    RichTextView v;
    v.resize(widths[0], 120);
    v.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v));
    v.setText(text);
    v.setSelection(900, 1);
    v.setSelColor(Qt::red);
    auto check = [&] {
        QCOMPARE(v.text(), text);
        QCOMPARE(v.selStart(), 900);
        QCOMPARE(v.charColor(900), QColor(Qt::red));
        QCOMPARE(v.charColor(899), QColor(Qt::black));
        QVERIFY(v.document()->blockCount() > 2);  // the paragraph is in pieces
        QString pieces;
        for (QTextBlock b = v.document()->begin(); b.isValid(); b = b.next()) {
            v.document()->documentLayout()->blockBoundingRect(b);
            if (b.next().isValid() && b.next().text() != "kurz")
                QCOMPARE(b.layout()->lineCount(), RichTextView::kStueckZeilen);
            pieces += b.text();
        }
        QCOMPARE(pieces, QString(text).remove("\r\n"));
    };
    for (int w : widths) {
        v.resize(w, 120);
        QTRY_COMPARE(v.width(), w);
        check();
        if (QTest::currentTestFailed()) return;
    }
    // Another font breaks the lines elsewhere.
    QFont f = v.font();
    f.setPointSize(f.pointSize() * 2);
    v.setFont(f);
    check();
}

void TstPlatform::viewChangeGathered_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("same line") << 0 << 1;
    QTest::newRow("next line") << 1 << 4;
    QTest::newRow("over an empty line") << 5 << 10;
    QTest::newRow("last character") << 10 << 11;
}

// Unmarking one character and marking another between beginChange and
// endChange leaves the formats, the selection and the cursor exactly as
// the same calls made one by one.
void TstPlatform::viewChangeGathered() {
    QFETCH(int, from);
    QFETCH(int, to);
    RichTextView einzeln, gesammelt;
    for (RichTextView* v : {&einzeln, &gesammelt}) {
        v->setText("ab\ncd\n\nef");
        v->setSelection(from, 1);
        v->setSelFormat(Qt::red, true);
    }
    auto schritt = [&](RichTextView& v) {
        v.setSelFormat(Qt::black, false);
        v.setSelection(to, 1);
        v.setSelFormat(Qt::red, true);
    };
    schritt(einzeln);
    gesammelt.beginChange();
    gesammelt.beginChange();  // nested: only the outer end counts
    schritt(gesammelt);
    gesammelt.endChange();
    gesammelt.endChange();
    gesammelt.endChange();  // one end too many is harmless
    for (int i = 0; i < einzeln.text().size(); ++i) {
        QCOMPARE(gesammelt.charColor(i), einzeln.charColor(i));
        QCOMPARE(gesammelt.charMarker(i), einzeln.charMarker(i));
    }
    QCOMPARE(gesammelt.selStart(), einzeln.selStart());
    QCOMPARE(gesammelt.textCursor().position(), einzeln.textCursor().position());
    QCOMPARE(gesammelt.charColor(to), QColor(Qt::red));
    QCOMPARE(gesammelt.text(), einzeln.text());
    // The painted marks follow the table once the change ends.
    QCOMPARE(gesammelt.grab().toImage(), einzeln.grab().toImage());
}

void TstPlatform::marksAsQtSelections_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("marker");
    QTest::newRow("red underlined letter") << "fff jjj fff" << 4 << 1 << QColor(Qt::red) << true;
    QTest::newRow("wide letters") << "mWm WMW" << 1 << 1 << QColor(Qt::red) << true;
    QTest::newRow("blank") << "fj fj" << 2 << 1 << QColor(Qt::red) << true;
    QTest::newRow("coloured run") << "abc def ghi" << 2 << 5 << QColor(Qt::blue) << false;
    QTest::newRow("black underlined") << "abc def" << 0 << 3 << QColor(Qt::black) << true;
    QTest::newRow("second line") << "abc\r\ndef ghi" << 6 << 2 << QColor(Qt::red) << true;
}

// The view paints its marks itself. They look exactly as Qt paints the same
// colours and underline as formatted selections.
void TstPlatform::marksAsQtSelections() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QColor, color);
    QFETCH(bool, marker);
    QFont font(QStringLiteral("Courier New"), 18);
    font.setBold(true);
    RichTextView view;
    view.setFont(font);
    view.resize(400, 120);
    view.setText(text);
    view.setSelection(start, length);
    view.setSelFormat(color, marker);
    view.setSelection(0, 0);

    RichTextView vorbild;  // Qt's own painting of the same formats
    vorbild.setFont(font);
    vorbild.resize(400, 120);
    vorbild.setText(text);
    vorbild.grab();  // settled at its size: the selections set next stay
    QTextEdit::ExtraSelection sel;
    sel.cursor = QTextCursor(vorbild.document());
    // The view's document holds line breaks as one character.
    const int vor = int(text.left(start).count(QStringLiteral("\r\n")));
    sel.cursor.setPosition(start - vor);
    sel.cursor.setPosition(start - vor + length, QTextCursor::KeepAnchor);
    sel.format.setForeground(color);
    sel.format.setFontUnderline(marker);
    vorbild.setExtraSelections({sel});
    QCOMPARE(view.grab().toImage(), vorbild.grab().toImage());
}

void TstPlatform::viewLoad_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("crlf") << QByteArray("ab\r\nc") << "ab\r\nc";
    QTest::newRow("lf") << QByteArray("ab\nc") << "ab\r\nc";
    QTest::newRow("cr") << QByteArray("ab\rc") << "ab\r\nc";
    QTest::newRow("cp1252") << QByteArray("\xE4\x80") << QString::fromUtf8("ä€");
    QTest::newRow("rtf") << QByteArray("{\\rtf1 x\\par y}") << "x\r\ny";
    QTest::newRow("empty") << QByteArray() << QString();
}

void TstPlatform::viewLoad() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QFile f(dir.filePath("t.inf"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    RichTextView v;
    v.setText("vorher");
    QCOMPARE(v.loadFile(f.fileName()), RichTextView::LoadResult::Ok);
    QCOMPARE(v.text(), text);
}

void TstPlatform::fileReads_data() {
    QTest::addColumn<QString>("art");
    QTest::addColumn<int>("status");
    QTest::newRow("regular") << "klein" << int(FileReadStatus::Ok);
    QTest::newRow("one byte over") << "gross" << int(FileReadStatus::TooLarge);
    QTest::newRow("missing") << "" << int(FileReadStatus::Missing);
    QTest::newRow("named pipe") << "fifo" << int(FileReadStatus::NotRegular);
    QTest::newRow("link to /dev/zero") << "geraet" << int(FileReadStatus::NotRegular);
    QTest::newRow("folder") << "ordner" << int(FileReadStatus::NotRegular);
    QTest::newRow("socket") << "socket" << int(FileReadStatus::NotRegular);
    QTest::newRow("link to itself") << "schleife" << int(FileReadStatus::LinkLoop);
}

void TstPlatform::fileReads() {
    QFETCH(QString, art);
    QFETCH(int, status);
    constexpr qint64 kGrenze = 1000;
    QTemporaryDir dir;
    const QString pfad = dir.filePath("x.ani");
    std::unique_ptr<Sonderdatei> sonder;
    if (art == "klein" || art == "gross") {
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(art == "klein" ? kGrenze : 50 * kGrenze, 'x'));
    } else if (!art.isEmpty()) {
        sonder = std::make_unique<Sonderdatei>(art, pfad);
        QVERIFY(sonder->ok());
    }
    QElapsedTimer uhr;
    uhr.start();
    const FileRead r = readRegularFile(pfad, kGrenze);
    QCOMPARE(int(r.status), status);
    // Never more than the limit and one byte to tell it was passed.
    if (r.status == FileReadStatus::TooLarge) QCOMPARE(r.bytes.size(), kGrenze + 1);
    if (r.ok()) QCOMPARE(r.bytes.size(), kGrenze);
    // The readers of the program's files refuse the same, with the reason.
    if (r.status == FileReadStatus::NotRegular) {
        QString fehler;
        QVERIFY(readAniFile(pfad, &fehler).isEmpty());
        QVERIFY2(fehler.contains("kann nicht gelesen werden") && fehler.contains(notRegularKind(pfad)),
                 qPrintable(fehler));
        QVERIFY(readAviFile(pfad, &fehler).isEmpty());
        QString text;
        QCOMPARE(RichTextView::readFile(pfad, true, text), RichTextView::LoadResult::Unreadable);
    }
    QVERIFY2(uhr.elapsed() < 1000, qPrintable(QString::number(uhr.elapsed())));
}

void TstPlatform::unicodeTexts_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("unicode");
    QTest::addColumn<QString>("text");
    const QString t = QString::fromUtf8("Grüße\r\naus Köln €");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : t) {
        le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    }
    const QString n = QString::fromUtf8("Grüße\naus Köln €");
    QTest::newRow("UTF-16 LE") << le << true << n;
    QTest::newRow("UTF-16 BE") << be << true << n;
    QTest::newRow("UTF-16 odd byte count") << le + 'x' << true << n + QChar(QChar::ReplacementCharacter);
    QTest::newRow("zeros on both sides are no UTF-16") << QByteArray("\0\0ab\0\0cd", 8) << true
                                                        << QString::fromLatin1("\0\0ab\0\0cd", 8);
    // Lesson files are Windows-1252 whatever they start with.
    QTest::newRow("lesson file starting like UTF-16") << QByteArray("\xFF\xFE" "ab") << false
                                                       << QString::fromUtf8("ÿþab");
}

void TstPlatform::unicodeTexts() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, unicode);
    QFETCH(QString, text);
    QCOMPARE(decodeTextFile(bytes, unicode), text);
}

void TstPlatform::viewLoadRefusals() {
    QTemporaryDir dir;
    RichTextView v;
    v.setText("vorher");
    QCOMPARE(v.loadFile(dir.filePath("fehlt.inf")), RichTextView::LoadResult::Missing);
    QCOMPARE(v.loadFile(dir.path()), RichTextView::LoadResult::Unreadable);
    QVERIFY(!isBinaryText(QString(199, 'a') + QChar(0x1B) + QChar(0x1A) + QChar('\f')));
    QVERIFY(isBinaryText(QString(98, 'a') + QChar(0x1B) + QChar(0x7F)));
    // 32767 characters are the limit; a CR LF counts two.
    QFile ok(dir.filePath("grenze.inf"));
    QVERIFY(ok.open(QIODevice::WriteOnly));
    ok.write(QByteArray(32764, 'a') + "\nb");
    ok.close();
    QCOMPARE(v.loadFile(ok.fileName()), RichTextView::LoadResult::Ok);
    QCOMPARE(v.text().size(), 32767);
    QFile big(dir.filePath("lang.inf"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(32765, 'a') + "\nb");
    big.close();
    QCOMPARE(v.loadFile(big.fileName()), RichTextView::LoadResult::TooLong);
    QCOMPARE(v.text().size(), 32767);  // the previous text stays
    QFile huge(dir.filePath("riesig.inf"));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    huge.write(QByteArray(2 * 1024 * 1024, 'x'));
    huge.close();
    QCOMPARE(v.loadFile(huge.fileName()), RichTextView::LoadResult::TooLong);
    // Counted as the view holds the text: the Unicode line and paragraph
    // separators are line breaks there, two characters each.
    for (char16_t trenner : {u'\u2028', u'\u2029'}) {
        QFile f(dir.filePath("trenner.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("a") + QString(16384, QChar(trenner))).toUtf8());
        f.close();
        QCOMPARE(v.loadFile(f.fileName(), true), RichTextView::LoadResult::TooLong);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("a") + QString(16383, QChar(trenner))).toUtf8());
        f.close();
        QCOMPARE(v.loadFile(f.fileName(), true), RichTextView::LoadResult::Ok);
        QCOMPARE(v.text().size(), 32767);
    }
}

void TstPlatform::keymap_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("vk");
    QTest::newRow("a") << int(Qt::Key_A) << false << 65;
    QTest::newRow("z") << int(Qt::Key_Z) << false << 90;
    QTest::newRow("7") << int(Qt::Key_7) << false << 55;
    QTest::newRow("!") << int(Qt::Key_Exclam) << false << 49;
    QTest::newRow("\"") << int(Qt::Key_QuoteDbl) << false << 50;
    QTest::newRow("?") << int(Qt::Key_Question) << false << 219;
    QTest::newRow("backslash") << int(Qt::Key_Backslash) << false << 219;
    QTest::newRow("ß") << int(Qt::Key_ssharp) << false << 219;
    QTest::newRow("@") << int(Qt::Key_At) << false << 81;
    QTest::newRow("€") << 0x20AC << false << 69;
    QTest::newRow("#") << int(Qt::Key_NumberSign) << false << 191;
    QTest::newRow("'") << int(Qt::Key_Apostrophe) << false << 191;
    QTest::newRow("-") << int(Qt::Key_Minus) << false << 189;
    QTest::newRow("_") << int(Qt::Key_Underscore) << false << 189;
    QTest::newRow("ü") << int(Qt::Key_Udiaeresis) << false << 186;
    QTest::newRow("ö") << int(Qt::Key_Odiaeresis) << false << 192;
    QTest::newRow("ä") << int(Qt::Key_Adiaeresis) << false << 222;
    QTest::newRow("+") << int(Qt::Key_Plus) << false << 187;
    QTest::newRow("<") << int(Qt::Key_Less) << false << 226;
    QTest::newRow("|") << int(Qt::Key_Bar) << false << 226;
    QTest::newRow("{") << int(Qt::Key_BraceLeft) << false << 55;
    QTest::newRow("dead acute") << int(Qt::Key_Dead_Acute) << false << 221;
    QTest::newRow("shift") << int(Qt::Key_Shift) << false << 16;
    QTest::newRow("ctrl") << int(Qt::Key_Control) << false << 17;
    QTest::newRow("altgr") << int(Qt::Key_AltGr) << false << 17;
    QTest::newRow("alt") << int(Qt::Key_Alt) << false << 18;
    QTest::newRow("caps") << int(Qt::Key_CapsLock) << false << 20;
    QTest::newRow("enter") << int(Qt::Key_Return) << false << 13;
    QTest::newRow("F2") << int(Qt::Key_F2) << false << 113;
    QTest::newRow("left") << int(Qt::Key_Left) << false << 37;
    QTest::newRow("delete") << int(Qt::Key_Delete) << false << 46;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << true << 101;
    QTest::newRow("keypad plus") << int(Qt::Key_Plus) << true << 107;
    QTest::newRow("keypad comma") << int(Qt::Key_Comma) << true << 110;
    QTest::newRow("unknown") << int(Qt::Key_Launch0) << false << 0;
}

void TstPlatform::keymap() {
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(int, vk);
    QCOMPARE(virtualKeyFor(key, keypad), vk);
}

void TstPlatform::keyCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");
    QTest::newRow("a") << int(Qt::Key_A) << "a" << 0 << 97;
    QTest::newRow("A") << int(Qt::Key_A) << "A" << int(Qt::ShiftModifier) << 65;
    QTest::newRow("ö") << int(Qt::Key_Odiaeresis) << QString::fromUtf8("ö") << 0 << 246;
    QTest::newRow("€") << 0x20AC << QString::fromUtf8("€") << 0 << 128;
    QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << 0 << 13;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << 0 << 8;
    QTest::newRow("delete") << int(Qt::Key_Delete) << "\x7f" << 0 << 0;
    QTest::newRow("arrow") << int(Qt::Key_Left) << "" << 0 << 0;
    QTest::newRow("outside cp1252") << int(Qt::Key_unknown) << QString(QChar(0x4E2D)) << 0 << 0;
    QTest::newRow("question mark") << int(Qt::Key_Question) << "?" << int(Qt::ShiftModifier) << 63;
}

void TstPlatform::keyCharacters() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    QKeyEvent e(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(ansiCode(e), code);
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_L, Qt::ControlModifier, "\x0c");
    QVERIFY(isShortcutChord(ctrl));
    QCOMPARE(shiftState(ctrl), 2);
}

void TstPlatform::colours() {
    QCOMPARE(colorFromBgr(kTastenfarbe), QColor(192, 192, 255));
    QCOMPARE(colorFromBgr(255), QColor(255, 0, 0));
    QCOMPARE(bgrFromColor(QColor(192, 192, 255)), kTastenfarbe);
    QCOMPARE(twipsToPx(14060), 937);
    QCOMPARE(twipsToPx(-60), -4);
    QCOMPARE(pxToTwips(38), 570);
    QCOMPARE(joinProgramPath("/p", "\\Intro.inf"), QString("/p/Intro.inf"));
}

namespace {
class Probe : public QWidget {
public:
    explicit Probe(App&) { setObjectName("Probe"); }
};
}  // namespace

void TstPlatform::forms() {
    TestEnv env(false);
    Forms& f = env.app->forms;
    QVERIFY(!f.loaded<Probe>());
    Probe& p = f.get<Probe>();
    QCOMPARE(&f.get<Probe>(), &p);  // at most one of each window
    QVERIFY(f.isLoaded("Probe"));
    QPointer<Probe> guard(&p);
    f.unloadByName("Probe");
    QVERIFY(!f.loaded<Probe>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
    QVERIFY(&f.get<Probe>() != nullptr);  // loads again after an unload
    f.unloadByName("nichtda");             // closing a window that is not open does nothing
}

VELKORA_TEST_MAIN(TstPlatform)
#include "tst_platform.moc"
