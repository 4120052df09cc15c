// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A label shown as a clickable link: link colours, underlined, hand cursor and
// a tooltip with its target, which it opens with the desktop's handler.

#include <QCursor>
#include <QLabel>
#include <QUrl>
#include <functional>

#include "present/colour.h"
#include "widgets/desktop_open.h"

namespace tk358 {

namespace test {
struct HyperlinkLabelProbe;
}

class HyperlinkLabel : public QLabel {
    Q_OBJECT

public:
    using Opener = UrlOpener;
    using FailureNotifier = OpenFailureNotifier;

    static constexpr Colorref kDefaultLinkColour = MakeColorref(0, 0, 238);
    static constexpr Colorref kDefaultVisitedColour = MakeColorref(85, 26, 139);
    // As the hover colour: follow the palette's highlight colour.
    static constexpr Colorref kSystemHighlight = 0xFFFFFFFFu;

    explicit HyperlinkLabel(QWidget* parent = nullptr);
    explicit HyperlinkLabel(const QString& text, QWidget* parent = nullptr);

    // An empty target opens the label's text; an empty text shows the target.
    void SetTarget(const QString& target);
    QString GetTarget() const { return target_; }

    void SetColours(Colorref link, Colorref visited, Colorref hover = kSystemHighlight);
    Colorref GetLinkColour() const { return linkColour_; }
    Colorref GetVisitedColour() const { return visitedColour_; }
    Colorref GetHoverColour() const;
    // The colour the text is drawn in now.
    Colorref CurrentColour() const;

    void SetVisited(bool visited);
    bool GetVisited() const { return visited_; }
    bool IsHovering() const { return hovering_; }

    void SetLinkCursor(const QCursor& cursor);
    QCursor GetLinkCursor() const { return linkCursor_; }

    void SetUnderline(bool underline);
    bool GetUnderline() const { return underline_; }

    // On: the label is cut to its text's size inside its current rectangle,
    // keeping the side (or centre) its alignment anchors it to.
    void SetAutoSize(bool autoSize);
    bool GetAutoSize() const { return autoSize_; }

    // Opens the target as a click does.
    void OpenTarget();

    // The message shown when a target could not be opened.
    static QString FailureMessage(const QUrl& url);

signals:
    void opened(const QUrl& url);

protected:
    bool event(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The tests open targets and report failures with their own functions.
    friend struct test::HyperlinkLabelProbe;

    void Attach();
    void ApplyFont();
    void ApplyColour();
    void FitToText();
    void ApplySizePolicy();

    Colorref linkColour_ = kDefaultLinkColour;
    Colorref visitedColour_ = kDefaultVisitedColour;
    Colorref hoverColour_ = kSystemHighlight;
    bool hovering_ = false;
    bool visited_ = false;
    bool underline_ = true;
    bool autoSize_ = true;
    bool attached_ = false;
    bool pressed_ = false;
    QString target_;
    QCursor linkCursor_{Qt::PointingHandCursor};
    Opener opener_;
    FailureNotifier notifier_;
};

}  // namespace tk358
