// The console's hexadecimal view: the line's traffic (hex_traffic.h) as rows of offset, direction,
// hexadecimal and text columns, bytes sent in amber and bytes received in the console's colour.
// It follows the traffic while it is shown and catches up when it is shown again.
#pragma once

#include <QPlainTextEdit>

#include "hex_traffic.h"

namespace hdd {

class HexView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit HexView(HexTraffic& traffic, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void onRowsChanged(int first);
    void rebuild();
    HexTraffic& traffic_;
    bool stale_ = true;  // changes came while hidden
};

}  // namespace hdd
