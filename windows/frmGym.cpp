#include "windows/frmGym.h"
#include "shell/app.h"
#include "shell/fenster.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>
#include <array>

namespace {
// The exercises in their order, each text exactly as it is shown, with its
// own punctuation and spacing.
constexpr std::array<const char16_t*, 20> kUebungen = {
    u"Oberarme senkrecht,Unterarme,Hände waagerecht.Abwechselnd alle Finger der linken und rechten Hand gleichzeitig im mittleren Fingergelenk beugen und strecken.",
    u"Unterarme und Hände waagerecht, Finger bleiben gestreckt.Abwechselnd rechts und links alle Finger gleichzeitig im untersten Fingergelenk langsam zur Handfläche hin abbiegen.",
    u"Hände waagerecht, Finger gestreckt; nacheinander jeden Finger einzeln im mittleren Fingergelenk beugen und strecken. ",
    u"Hände waagerecht und Finger gestreckt halten.Finger nacheinander einzeln im untersten Fingergelenk abbiegen.",
    u"Hände in Grundstellung auf die Tischplatte.Zu Klopfübungen jeden Finger einzeln möglichst hochheben, alle anderen bleiben auf der Tischplatte.",
    u"Hände in Grundstellung auf die Tischplatte legen.Finger einzeln kräftig nach oben strecken, alle anderen bleiben auf der Tischplatte.",
    u"Hände mit den Fingerspitzen leicht auf die Schultern gelegt.Die Ellbogen beschreiben einen großen Kreis vorwärts und auch rückwärts.Den Körper aufrichten, die Schultern kräftig bewegen.",
    u"Hände flach auf den Tisch legen.Finger nacheinander wegspreizen und heranziehen.Hände bleiben flach auf der Tischplatte liegen.",
    u"Unterarme und Hände waagerecht, Finger gestreckt, nacheinander jeden Finger kreisen lassen.",
    u"Unterarme waagerecht, Hände zur Faust geballt.Abwechselnd kurzes, kräftiges Wegspreizen der Finger nach vorn und zurück zur Faust.",
    u"Unterarme und Hände waagerecht, Finger gespreizt, nacheinander jeden Finger gestreckt möglichst weit nach oben und unten bewegen.",
    u"Unterarme nach oben angewinkelt, Handflächen nach innen.Finger gespreizt mit den Fingerkuppen gegeneinander gesetzt.Kurzes, schnelles Wippen, ohne daß sich die Handteller berühren.",
    u"Unterarm und Hand nach oben anwinkeln; Unterarm, Hand und Finger bilden eine Gerade.Mit der freien Hand wird die andere Hand an den Fingerspitzen zurückgebogen.",
    u"Hände mit Innenflächen fest aufeinandergepreßt,Fingerspitzen nach oben.Finger geschlossen möglichst weit gegen Handrücken zurückbiegen, Handballen und Handflächen bleiben zusammen.",
    u"Unterarme und Hände waagerecht, abwechselnd die Hände im Handgelenk möglichst weit nach oben und unten bewegen, die Finger bleiben gestreckt.",
    u"Hände in Grundstellung auf die Kante der Tischplatte.Finger einzeln kräftig nach unten strecken, alle anderen bleiben auf der Tischplatte.",
    u"Arme und Hände nach vorn gestreckt.Mit gestreckten Fingern kreisen die Hände langsam abwechselnd im Handgelenk.Die freie Hand hält die kreisende hinter dem Handgelenk fest.",
    u"Arme und Hände waagerecht nach vorn gestreckt.Hände mit gestreckten Fingern nach unten biegen, in der Beugestellung die Finger zur Faust ballen und zurück.",
    u"Arme nach oben, nach der Seite oder nach vorn, Handflächen innen.Hände schlagen abwechselnd auf die Nackenmuskeln.Aber nicht zu fest...  ;-)",
    u"Aus dem Stand oder auf zurückgesetztem Stuhl.Die gestreckten Arme mit gelockerten Händen wechselartig mit kräftigen Bewegungen von schräg oben vorwärts nach schräg unten rückwärts schwingen.",
};

QFont courier(int punkte) {
    QFont f(QStringLiteral("Courier New"), punkte);
    f.setStyleHint(QFont::TypeWriter);
    return f;
}
}  // namespace

QString gymnastikText(const QString& nr) {
    for (size_t i = 0; i < kUebungen.size(); ++i)
        if (nr == QString::number(i + 1)) return QString::fromUtf16(kUebungen[i]);
    return QString();
}

frmGym::frmGym(App& app) : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), app_(app) {
    setObjectName(QStringLiteral("frmGym"));
    setWindowTitle(QStringLiteral("Gymnastik-Tipps"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(480, 240);

    Label1 = new QLabel(QStringLiteral("TIPP-Nr.:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(1, static_cast<int>(kUebungen.size()));
    Slider1->setPageStep(1);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(1);
    Slider1->setFocusPolicy(Qt::StrongFocus);
    Label1->setBuddy(Slider1);

    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setFont(courier(18));
    Text2->setReadOnly(true);
    Text2->setAlignment(Qt::AlignCenter);
    Text2->setFocusPolicy(Qt::NoFocus);
    Text2->setFixedWidth(64);

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(courier(11));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Command1 = new QPushButton(QStringLiteral("Schließen"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* kopf = new QHBoxLayout;
    kopf->addWidget(Label1);
    kopf->addWidget(Slider1, 1);
    kopf->addWidget(Text2);
    auto* fuss = new QHBoxLayout;
    fuss->addStretch(1);
    fuss->addWidget(Command1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(kopf);
    v->addWidget(Text1, 1);
    v->addLayout(fuss);

    Form_Load();
    connect(Slider1, &QSlider::valueChanged, this, &frmGym::Slider1_Change);
    connect(Command1, &QPushButton::clicked, this, &frmGym::Command1_Click);
}

void frmGym::Form_Load() {
    unterHauptfenster(app_, this);
    Text2->setText(QStringLiteral("1"));
    Text1->setPlainText(gymnastikText(QStringLiteral("1")));
}

void frmGym::zeigen() {
    show();
    raise();
    activateWindow();
    Slider1->setFocus();
}

void frmGym::Slider1_Change() {
    Text2->setText(QString::number(Slider1->value()));
    const QString text = gymnastikText(Text2->text());
    if (!text.isNull()) Text1->setPlainText(text);
}

void frmGym::Command1_Click() { app_.forms.unload<frmGym>(); }
