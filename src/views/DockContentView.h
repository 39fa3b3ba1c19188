#pragma once

#include "platform/Subscription.h"
#include "views/DockViewServices.h"

#include <QUuid>
#include <QWidget>

struct Dock;

// The whole content of one dock's panel: the rounded tinted background, the hairline border and
// the header with the dock's name, from which the panel is dragged. Looks its dock up in the
// store on every paint and draws nothing once the dock is gone.
class DockContentView final : public QWidget {
    Q_OBJECT
public:
    DockContentView(const QUuid& dockID, const DockViewServices& services,
                    QWidget* parent = nullptr);
    ~DockContentView() override;

    const QUuid& dockID() const { return dockID_; }
    // The header's height for a dock: its padding around one line of the name.
    int headerHeight(const Dock& dock) const;
    static QFont headerFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const Dock* dock() const;
    void paintBackground(QPainter& painter, const Dock& dock) const;
    void paintHeader(QPainter& painter, const Dock& dock) const;

    QUuid dockID_;
    DockViewServices services_;
    Subscription storeWillChange_;
};
