#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "live/scope.h"
#include "ui/page.h"

class QComboBox;
class QGroupBox;

namespace sequaflow::ui {

class ConfigurationModel;
class LiveFeed;

// OneOscyloskopPaint: shows the picture the page drew last, copied as it is, so the trace never flickers.
class ScopePaintBox final : public QWidget {
    Q_OBJECT
public:
    explicit ScopePaintBox(QWidget* parent);
    void setImage(const QImage* image) { image_ = image; }
    // The box changed size: the picture is drawn again for it.
    std::function<void()> onResize;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const QImage* image_ = nullptr;
};

// Page TabSheet2 ("Oscyloskopy"): the trace of the channel chosen in the right-hand panel. Every accepted
// frame adds that channel's sample whether or not the page is shown; the picture is drawn only while it
// is, and once on showing it, which gives the same picture for less work.
class OscilloscopePage final : public QWidget, public Page {
    Q_OBJECT
public:
    OscilloscopePage(const LiveFeed& feed, const ConfigurationModel& model, QWidget* parent = nullptr);

    void setChannel(std::optional<int> channel);
    std::optional<int> channel() const { return channel_; }
    const live::ScopeBank& histories() const { return bank_; }
    // The picture as last drawn (OneOscyloskopPaint's size).
    const QImage& image() const { return image_; }
    void shown() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addSample();
    void draw();

    const LiveFeed& feed_;
    const ConfigurationModel& model_;
    live::ScopeBank bank_;
    std::optional<int> channel_;
    QWidget* box_;
    ScopePaintBox* paint_;
    QImage background_;
    QImage image_;
    bool stale_ = true;  // the histories moved since the picture was drawn
};

}  // namespace sequaflow::ui
