// A progress indicator that lives inside one pane of the main window's status
// bar: the pane shows a label at its left and the control takes a share of
// the width the label leaves. It follows the pane when the status bar is laid
// out again, steps aside while a command prompt uses that width (the label
// stays), and gives the pane its text back when it is removed.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QRect>
#include <QString>

class QMainWindow;

namespace quarry {

class CPaneStatusBar;

class CProgressBar : public QProgressBar {
    Q_OBJECT
public:
    // `frame` is the window whose status bar hosts the control.
    explicit CProgressBar(QMainWindow* frame);
    ~CProgressBar() override;

    // Shows the control in `pane` with `label` as the pane's text, range 0 to
    // `maximum`. A second call reuses this one widget with the new label and
    // range. False when the frame has no status bar of panes.
    bool Create(const QString& label, int sizePercent, int maximum, bool smooth, int pane);
    // False before Create.
    bool SetRange(int lower, int upper, int step);
    // Shows the control again if it was hidden; answers the previous position,
    // or 0 before Create.
    int SetPos(int position);
    int SetStep(int step);
    // Hides the control and restores the pane's text ("Ready" for pane 0).
    void RestorePane();
    // Moves the control to its place in the pane; false before Create.
    bool PlaceInPane();
    CPaneStatusBar* FindStatusBar() const;

    bool hasWindow() const { return created_; }
    QRect placement() const { return placement_; }
    QString label() const { return label_; }

    // The placement rule: start after the label and four spaces (unless the
    // label is empty), keep `sizePercent` of the width left, never a negative
    // width, and inset a tenth of the height at top and bottom.
    static QRect placeInRect(const QRect& pane, int labelWidth, int spaceWidth, int sizePercent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shown while in use, except while a prompt covers its pane.
    void updateVisibility();

    QMainWindow* frame_;
    bool created_ = false;
    bool inUse_ = false; // between Create (or SetPos) and RestorePane
    int sizePercent_ = 0;
    int pane_ = 0;
    int step_ = 1;
    QString label_;
    QString previousPaneText_;
    QRect placement_;
    QPointer<QWidget> watchedPane_;
};

} // namespace quarry
