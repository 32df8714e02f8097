#pragma once

#include <QColor>
#include <QPushButton>
#include <QString>

namespace sequaflow::ui {

// A push button with a painted face colour. It shows its caption and, when set, an on-text in large
// letters below it (the fuel button shows "Benzyna" or "Gaz" this way). An invalid face colour means
// the neutral face of the palette.
class ColourButton final : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor faceColour READ faceColour WRITE setFaceColour)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString onText READ onText WRITE setOnText)

public:
    explicit ColourButton(QWidget* parent = nullptr);
    explicit ColourButton(const QString& caption, QWidget* parent = nullptr);

    QColor faceColour() const { return face_; }
    void setFaceColour(const QColor& colour);
    // Back to the neutral face.
    void clearFaceColour() { setFaceColour(QColor()); }
    // The colour actually painted (the palette's button colour when no face colour is set).
    QColor effectiveFaceColour() const;

    QString caption() const { return text(); }
    void setCaption(const QString& caption);
    QString onText() const { return onText_; }
    void setOnText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What the texts are drawn in, and the room left for them on either side.
    QFont captionFont() const;
    QFont onTextFont() const;
    static constexpr int kTextPadding = 8;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize textSize() const;

    QColor face_;
    QString onText_;
};

}  // namespace sequaflow::ui
