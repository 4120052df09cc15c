// SPDX-License-Identifier: GPL-3.0-or-later
// The least a Qt widget program pays to keep a changing text on screen: one
// window whose only work is to show the time of day, repainted once a second
// by a one-line widget that draws it. The idle bench measures it beside
// gtkterm as the floor under the window's own figure: a wake-up, one paint
// and the X server's round trip that every shared-memory paint costs.

#include <QApplication>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace {

class ClockLine : public QWidget {
public:
    using QWidget::QWidget;

    void Tick() {
        text_ = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().base());
        painter.drawText(rect(), Qt::AlignVCenter, text_);
    }

private:
    QString text_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(780, 500);
    ClockLine line(&window);
    line.setAttribute(Qt::WA_OpaquePaintEvent);
    line.setGeometry(10, 10, 400, 24);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &line, &ClockLine::Tick);
    timer.start(1000);
    window.show();
    return app.exec();
}
