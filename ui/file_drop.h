// Dropping an item file on the window imports it. Watches the window and the
// children that take drops of their own (the editable report, the identifier
// box): a drag of one local file is taken while `accepting` says an import may
// start, and its drop asks for that file; any other drag goes on as before.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QWidget;

namespace quarry {

class cFileDrop : public QObject {
    Q_OBJECT
public:
    cFileDrop(std::function<bool()> accepting, QObject* parent = nullptr);

    // Makes `widget` take drops and watches them.
    void watch(QWidget* widget);

signals:
    // The path is the file name's bytes, as the file system has it.
    void fileDropped(const std::string& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> accepting_;
};

} // namespace quarry
