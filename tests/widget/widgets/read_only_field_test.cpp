// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/read_only_field.h"

#include <QAccessible>
#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QtTest>

#include "support/paint_counter.h"
#include "widget_test_support.h"
#include "widgets/read_only_fields.h"

namespace tk358 {
namespace {

using test::Settle;

void ShowWith(ReadOnlyField& field, const QString& text, int width = 420) {
    field.resize(width, field.sizeHint().height());
    field.setText(text);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    Settle();
}

// What the screen shows of a window: the backing store, not a fresh render.
QImage OnScreen(QWidget& window, const QRect& part = {}) {
    const QRect r = part.isNull() ? window.rect() : part;
    return window.screen()
        ->grabWindow(window.winId(), r.x(), r.y(), r.width(), r.height())
        .toImage();
}

}  // namespace

class ReadOnlyFieldTest : public QObject {
    Q_OBJECT

private slots:
    void changedTextLooksAsIfShownAfresh_data();
    void changedTextLooksAsIfShownAfresh();
    void narrowedFontNarrowsNumbersAndWords();
    void fieldsOfOneWidgetLookLikeSingleFields();
};

void ReadOnlyFieldTest::changedTextLooksAsIfShownAfresh_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("widestRepaint");  // pixels; 0 for no limit

    const QString line = QStringLiteral("TK-358D nr 3105. Tue Dec  8 19:13:%1 2026");
    QTest::newRow("clock second") << line.arg(21) << line.arg(22) << 24;
    QTest::newRow("clock minute") << line.arg(59)
                                  << QStringLiteral("TK-358D nr 3105. Tue Dec  8 19:14:00 2026")
                                  << 60;
    QTest::newRow("last places") << "19.5857"
                                 << "19.5861" << 24;
    QTest::newRow("longer") << "1.5"
                            << "10.25" << 0;
    QTest::newRow("shorter") << "CORRECT"
                             << "---" << 0;
    QTest::newRow("sign") << "-0.138"
                          << "0.141" << 0;
    QTest::newRow("words") << "Strefa 1"
                           << "Strefa 2" << 24;
    QTest::newRow("unit and accent") << "21.0 °C"
                                     << "21.5 °C" << 24;
    QTest::newRow("glyphs the font may lack")
        << QStringLiteral("温度 ∑ 1") << QStringLiteral("温度 ∑ 2") << 24;
    QTest::newRow("emptied") << "12:00"
                             << "" << 0;
    QTest::newRow("filled") << ""
                            << "Brak połączenia" << 0;
    QTest::newRow("too long") << "1" << QStringLiteral("Błąd zapisu: ").repeated(8) << 0;
}

void ReadOnlyFieldTest::changedTextLooksAsIfShownAfresh() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, widestRepaint);

    ReadOnlyField fresh;
    ShowWith(fresh, after);
    const QImage expected = OnScreen(fresh);
    const int right = expected.width() - 1;
    for (int y = 1; y < expected.height(); ++y) {
        QCOMPARE(expected.pixel(right, y), expected.pixel(right, 0));  // the frame stays whole
    }

    ReadOnlyField changed;
    ShowWith(changed, before);
    test::PaintCounter rects(&changed);
    changed.setText(after);
    Settle();
    QCOMPARE(OnScreen(changed), expected);
    if (widestRepaint > 0) {
        QVERIFY2(
            rects.Painted().boundingRect().width() <= widestRepaint,
            qPrintable(
                QStringLiteral("repainted %1 px").arg(rects.Painted().boundingRect().width())));
    }
}

// The service view narrows its font to fit; numbers, drawn without the
// shaper, must narrow with the words.
void ReadOnlyFieldTest::narrowedFontNarrowsNumbersAndWords() {
    const QString text = QStringLiteral("19.5857 °C otwarty");
    const auto inkWidth = [&text](int stretch) {
        ReadOnlyField field;
        QFont font = field.font();
        font.setStretch(stretch);
        field.setFont(font);
        ShowWith(field, text);
        const QImage image = OnScreen(field);
        const QRect inside = image.rect().adjusted(2, 2, -2, -2);
        return test::InkBox(image, inside, image.pixel(inside.center().x(), inside.bottom()))
            .width();
    };
    const int normal = inkWidth(100);
    const int narrowed = inkWidth(70);
    QVERIFY2(normal > 60, qPrintable(QString::number(normal)));
    QVERIFY2(narrowed < normal * 0.8,
             qPrintable(QStringLiteral("%1 of %2 px").arg(narrowed).arg(normal)));
}

// Fields painted by one widget look like single fields, repaint only where
// their text changed, and leave what lies between them (a label here, where
// a hidden field also lies) to the parent.
void ReadOnlyFieldTest::fieldsOfOneWidgetLookLikeSingleFields() {
    const int height = ReadOnlyField().sizeHint().height();
    const QRect places[] = {{10, 10, 120, height}, {260, 10, 120, height}, {390, 10, 120, height}};
    const QRect labelPlace(140, 10, 110, height);
    const QString before[] = {"19.5857", "CORRECT", "Strefa 1"};
    const QString after[] = {"19.5861", "CORRECT", "Strefa 2"};

    const auto window = [&](bool withFields) {
        auto parent = std::make_unique<QWidget>();
        parent->resize(520, height + 20);
        (new QLabel(QStringLiteral("kr.cz.[ms]"), parent.get()))->setGeometry(labelPlace);
        if (withFields) {
            auto* fields = new ReadOnlyFields(parent.get());
            for (int i = 0; i < 3; ++i) {
                fields->SetPlace(fields->Add(i), places[i]);
                fields->SetShown(i, true);
                fields->SetText(i, before[i]);
            }
            fields->SetPlace(fields->Add(3), labelPlace);  // hidden
            fields->SetText(3, QStringLiteral("hidden"));
            fields->Arrange();
        }
        parent->show();
        return parent;
    };
    const auto reference = window(false);
    const auto tested = window(true);
    QVERIFY(QTest::qWaitForWindowExposed(reference.get()));
    QVERIFY(QTest::qWaitForWindowExposed(tested.get()));
    Settle();
    auto* fields = tested->findChild<ReadOnlyFields*>();
    test::PaintCounter rects(fields);
    for (int i = 0; i < 3; ++i) {
        fields->SetText(i, after[i]);
    }
    Settle();

    QCOMPARE(OnScreen(*tested, labelPlace), OnScreen(*reference, labelPlace));
    for (int i = 0; i < 3; ++i) {
        ReadOnlyField single;
        ShowWith(single, after[i], places[i].width());
        QCOMPARE(OnScreen(*tested, places[i]), OnScreen(single));
        QCOMPARE(fields->Text(i), after[i]);
    }
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(fields);
    QCOMPARE(access->childCount(), 3);  // not the hidden one
    QCOMPARE(access->child(2)->text(QAccessible::Name), after[2]);
    QCOMPARE(access->indexOfChild(access->child(1)), 1);
    QCOMPARE(access->childAt(places[1].center().x() + tested->mapToGlobal(QPoint()).x(),
                             places[1].center().y() + tested->mapToGlobal(QPoint()).y()),
             access->child(1));

    // The last places of one value and the last word of another, nothing else.
    QVERIFY(!rects.Painted().intersects(places[1].translated(-fields->pos())));
    int area = 0;
    for (const QRect& r : rects.Painted()) {
        area += r.width() * r.height();
    }
    QVERIFY2(area <= 2 * 24 * height, qPrintable(QString::number(area)));
}

}  // namespace tk358

QTEST_MAIN(tk358::ReadOnlyFieldTest)
#include "read_only_field_test.moc"
