// A dock bar the user resizes by its edges. Qt's dock layout does the
// docking, floating, rows and edge dragging; this class keeps the three sizes
// of the classic sizing bar (docked at the top or bottom, at the left or
// right, floating) with their minimums, offers them to the layout, keeps its
// child filling it, and stays open on a close request.
#pragma once

#include <QDockWidget>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

class QMainWindow;
class QSettings;

namespace quarry {

class CSizingControlBar : public QDockWidget {
    Q_OBJECT
public:
    // Bits of barStyle().
    enum : std::uint32_t {
        sizeChild = 0x20, // keep the child widget filling the bar
    };

    explicit CSizingControlBar(QWidget* parent = nullptr);

    // Gives the bar its title and control ID and makes it a child of `parent`.
    bool Create(const QString& name, QMainWindow* parent, int id);

    // Sizes in the settings store, section "<profile>-SCBar-<id>". A section
    // name longer than 255 characters is refused (false). Loaded sizes below
    // the minimums give the minimums.
    bool LoadSizes(const QString& profileName);
    bool SaveSizes(const QString& profileName) const;
    bool LoadSizes(QSettings& settings, const QString& profileName);
    bool SaveSizes(QSettings& settings, const QString& profileName) const;
    static std::optional<QString> sectionName(const QString& profileName, int id);

    bool IsDockedHorz() const;
    bool IsDockedVert() const;
    bool IsFloatingBar() const { return isFloating(); }

    int id() const { return id_; }
    std::uint32_t barStyle() const { return barStyle_; }
    void setBarStyle(std::uint32_t style);

    QSize sizeHorz() const { return sizeHorz_; }
    QSize sizeVert() const { return sizeVert_; }
    QSize sizeFloat() const { return sizeFloat_; }
    QSize sizeMinHorz() const { return sizeMinHorz_; }
    QSize sizeMinVert() const { return sizeMinVert_; }
    QSize sizeMinFloat() const { return sizeMinFloat_; }
    void setSizeHorz(QSize size) { sizeHorz_ = size.expandedTo(sizeMinHorz_); }
    void setSizeVert(QSize size) { sizeVert_ = size.expandedTo(sizeMinVert_); }
    void setSizeFloat(QSize size) { sizeFloat_ = size.expandedTo(sizeMinFloat_); }

    // The size of the bar's present state (docked at top/bottom, docked at
    // left/right, floating) and its minimum.
    QSize currentSize() const;
    QSize currentMinimum() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the bar is docked; Qt::NoDockWidgetArea when it floats or has no frame.
    Qt::DockWidgetArea dockArea() const;
    void applyMinimum();

    int id_ = 0;
    std::uint32_t barStyle_ = 0;
    QSize sizeHorz_{200, 200};
    QSize sizeVert_{200, 200};
    QSize sizeFloat_{200, 200};
    QSize sizeMinHorz_{33, 32};
    QSize sizeMinVert_{33, 32};
    QSize sizeMinFloat_{37, 32};
};

} // namespace quarry
