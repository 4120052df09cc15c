// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/hyperlink_label.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

#include "support/hyperlink_label_probe.h"
#include "widget_test_support.h"
#include "widgets/qt_colour.h"

namespace tk358 {
namespace {

// A link on a shown parent, with the opener and the failure message recorded.
struct Fixture {
    QWidget parent;
    HyperlinkLabel* link = nullptr;
    std::vector<QUrl> opened;
    std::vector<QString> messages;
    bool openResult = true;

    explicit Fixture(const QString& text, const QString& target = QString()) {
        parent.resize(400, 200);
        link = new HyperlinkLabel(text, &parent);
        link->setGeometry(10, 10, 300, 40);
        if (!target.isEmpty()) {
            link->SetTarget(target);
        }
        test::HyperlinkLabelProbe::SetOpener(*link, [this](const QUrl& url) {
            opened.push_back(url);
            return openResult;
        });
        test::HyperlinkLabelProbe::SetFailureNotifier(
            *link, [this](QWidget*, const QString& m) { messages.push_back(m); });
    }
    bool Show() {
        parent.show();
        return QTest::qWaitForWindowExposed(&parent);
    }
    Colorref DrawnColour() const { return FromQColor(link->palette().color(QPalette::WindowText)); }
    void Enter() {
        QEnterEvent enter(QPointF(2, 2), QPointF(12, 12), QPointF(12, 12));
        QApplication::sendEvent(link, &enter);
    }
    void Leave() {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
    }
};

}  // namespace

class HyperlinkLabelTest : public QObject {
    Q_OBJECT

private slots:
    void targetAndTextFillEachOther();
    void looksLikeALink();
    void colourFollowsHoverAndVisits();
    void clickOpensTheTargetAndMarksItVisited();
    void failedOpenTellsTheUser_data();
    void failedOpenTellsTheUser();
    void autoSizeKeepsTheAlignedSide_data();
    void autoSizeKeepsTheAlignedSide();
};

void HyperlinkLabelTest::targetAndTextFillEachOther() {
    Fixture fromText(QStringLiteral("https://example.com/serwis"));
    QVERIFY(fromText.Show());
    QCOMPARE(fromText.link->GetTarget(), QStringLiteral("https://example.com/serwis"));
    QCOMPARE(fromText.link->toolTip(), QStringLiteral("https://example.com/serwis"));

    Fixture fromTarget(QString(), QStringLiteral("mailto:serwis@example.com"));
    QVERIFY(fromTarget.Show());
    QCOMPARE(fromTarget.link->text(), QStringLiteral("mailto:serwis@example.com"));

    Fixture both(QStringLiteral("Napisz do nas"), QStringLiteral("mailto:serwis@example.com"));
    QVERIFY(both.Show());
    QCOMPARE(both.link->text(), QStringLiteral("Napisz do nas"));
    QCOMPARE(both.link->toolTip(), QStringLiteral("mailto:serwis@example.com"));
    both.link->SetTarget(QStringLiteral("https://example.com"));
    QCOMPARE(both.link->toolTip(), QStringLiteral("https://example.com"));
}

void HyperlinkLabelTest::looksLikeALink() {
    Fixture f(QStringLiteral("<b>https://example.com</b>"));
    QVERIFY(f.Show());
    QCOMPARE(f.link->textFormat(), Qt::PlainText);
    QVERIFY(f.link->font().underline());
    QCOMPARE(f.link->cursor().shape(), Qt::PointingHandCursor);
    f.link->SetUnderline(false);
    QVERIFY(!f.link->font().underline());
}

void HyperlinkLabelTest::colourFollowsHoverAndVisits() {
    Fixture f(QStringLiteral("https://example.com"));
    QVERIFY(f.Show());
    const Colorref link = MakeColorref(0, 0, 238);
    const Colorref visited = MakeColorref(85, 26, 139);
    const Colorref highlight = FromQColor(f.link->palette().color(QPalette::Highlight));
    QCOMPARE(f.link->GetHoverColour(), highlight);

    struct Step {
        const char* what;
        std::function<void()> action;
        Colorref colour;
    };
    const Colorref hover = MakeColorref(200, 0, 0);
    const std::vector<Step> steps = {
        {"initial", [] {}, link},
        {"pointer over it", [&] { f.Enter(); }, highlight},
        {"pointer gone", [&] { f.Leave(); }, link},
        {"visited", [&] { f.link->SetVisited(true); }, visited},
        {"over a visited link", [&] { f.Enter(); }, highlight},
        {"own hover colour", [&] { f.link->SetColours(link, visited, hover); }, hover},
        {"left again", [&] { f.Leave(); }, visited},
        {"not visited", [&] { f.link->SetVisited(false); }, link},
        {"system highlight again",
         [&] {
             f.link->SetColours(link, visited, static_cast<Colorref>(-1));
             f.Enter();
         },
         highlight},
    };
    for (const Step& step : steps) {
        step.action();
        QVERIFY2(f.link->CurrentColour() == step.colour, step.what);
        QVERIFY2(f.DrawnColour() == step.colour, step.what);
    }
}

void HyperlinkLabelTest::clickOpensTheTargetAndMarksItVisited() {
    Fixture f(QStringLiteral("www.example.com"));
    QVERIFY(f.Show());
    QSignalSpy opened(f.link, &HyperlinkLabel::opened);
    QTest::mouseClick(f.link, Qt::RightButton);
    QVERIFY(f.opened.empty());

    QTest::mouseClick(f.link, Qt::LeftButton);
    QCOMPARE(f.opened.size(), 1u);
    QCOMPARE(f.opened[0], QUrl(QStringLiteral("http://www.example.com")));
    QCOMPARE(opened.count(), 1);
    QVERIFY(f.link->GetVisited());
    QCOMPARE(f.DrawnColour(), MakeColorref(85, 26, 139));
    QVERIFY(f.messages.empty());

    f.link->SetTarget(QStringLiteral("mailto:serwis@example.com"));
    f.link->OpenTarget();
    QCOMPARE(f.opened.back().scheme(), QStringLiteral("mailto"));
}

void HyperlinkLabelTest::failedOpenTellsTheUser_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("asksDesktop");
    QTest::addColumn<QString>("message");
    QTest::newRow("no handler") << "https://example.com" << true
                                << "Unable to open hyperlink:\n\nThere is no application "
                                   "associated\nwith the given filename extension.";
    QTest::newRow("nothing to open") << "   " << false
                                     << "Unable to open hyperlink:\n\nThe specified file was not "
                                        "found.";
}

void HyperlinkLabelTest::failedOpenTellsTheUser() {
    QFETCH(QString, target);
    QFETCH(bool, asksDesktop);
    QFETCH(QString, message);
    Fixture f(QStringLiteral("Strona"), target);
    f.openResult = false;
    QVERIFY(f.Show());
    QTest::mouseClick(f.link, Qt::LeftButton);
    QCOMPARE(f.opened.size(), asksDesktop ? 1u : 0u);
    QCOMPARE(f.messages.size(), 1u);
    QCOMPARE(f.messages[0], message);
    QVERIFY(!f.link->GetVisited());
    QCOMPARE(f.DrawnColour(), MakeColorref(0, 0, 238));
}

void HyperlinkLabelTest::autoSizeKeepsTheAlignedSide_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("anchor");
    QTest::newRow("left, top") << int(Qt::AlignLeft | Qt::AlignTop) << "left top";
    QTest::newRow("left, centred") << int(Qt::AlignLeft | Qt::AlignVCenter) << "left middle";
    QTest::newRow("centred") << int(Qt::AlignCenter) << "centre middle";
    QTest::newRow("right, top") << int(Qt::AlignRight | Qt::AlignTop) << "right top";
    QTest::newRow("right, bottom") << int(Qt::AlignRight | Qt::AlignBottom) << "right bottom";
}

void HyperlinkLabelTest::autoSizeKeepsTheAlignedSide() {
    QFETCH(int, alignment);
    QFETCH(QString, anchor);
    const QRect before(10, 10, 300, 40);
    Fixture f(QStringLiteral("https://example.com"));
    f.link->setAlignment(Qt::Alignment(alignment));
    QVERIFY(f.Show());
    const QRect r = f.link->geometry();
    QFontMetrics metrics(f.link->font());
    QCOMPARE(r.size(), metrics.size(0, f.link->text()));
    if (anchor.startsWith(QLatin1String("left"))) {
        QCOMPARE(r.left(), before.left());
    } else if (anchor.startsWith(QLatin1String("right"))) {
        QCOMPARE(r.right(), before.right());
    } else {
        QVERIFY(qAbs(r.center().x() - before.center().x()) <= 1);
    }
    if (anchor.endsWith(QLatin1String("top"))) {
        QCOMPARE(r.top(), before.top());
    } else if (anchor.endsWith(QLatin1String("bottom"))) {
        QCOMPARE(r.bottom(), before.bottom());
    } else {
        QVERIFY(qAbs(r.center().y() - before.center().y()) <= 1);
    }

    // Without auto-size the label keeps the rectangle it is given.
    f.link->SetAutoSize(false);
    f.link->setGeometry(before);
    f.link->SetTarget(QStringLiteral("https://example.com/a"));
    QCOMPARE(f.link->geometry(), before);
}

}  // namespace tk358

QTEST_MAIN(tk358::HyperlinkLabelTest)
#include "hyperlink_label_test.moc"
