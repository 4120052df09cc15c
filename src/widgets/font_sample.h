// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A clickable field showing "0123456789." centred in one font.

#include <QAbstractButton>

namespace tk358 {

class FontSample : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr const char* kSampleText = "0123456789.";

    explicit FontSample(QWidget* parent = nullptr);

    // The sample's own font; the field grows with it up to a limit, beyond
    // which the text is cut at both sides.
    void SetSampleFont(const QFont& font);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont sampleFont_;
};

}  // namespace tk358
