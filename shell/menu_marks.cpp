#include "shell/menu_marks.h"

#include <QAction>

namespace quorvel::shell {

void MenuMarks::add(QAction* item) {
    item->setCheckable(true);
    items_.push_back(item);
    connect(item, &QAction::triggered, this, &MenuMarks::putBack);
}

void MenuMarks::mark(QAction* item) {
    marked_ = item;
    putBack();
}

void MenuMarks::putBack() {
    for (QAction* item : items_) {
        item->setChecked(item == marked_);
    }
}

}  // namespace quorvel::shell
