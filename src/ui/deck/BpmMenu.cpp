#include "ui/deck/BpmMenu.h"

#include <QMenu>

namespace {

struct Entry {
    const char* text;
    TempoFix fix;
};

constexpr Entry kEntries[] = {{"x2", TempoFix::kDouble},
                              {"/2", TempoFix::kHalve},
                              {"x3/2", TempoFix::kThreeHalves},
                              {"x2/3", TempoFix::kTwoThirds},
                              {"Lock", TempoFix::kLock}};

}  // namespace

BpmMenu::BpmMenu() : menu_(std::make_unique<QMenu>()) {
    for (const Entry& entry : kEntries) {
        const TempoFix fix = entry.fix;
        QObject::connect(menu_->addAction(QString::fromLatin1(entry.text)), &QAction::triggered,
                         [this, fix] { chosen_(fix); });
    }
}

BpmMenu::~BpmMenu() = default;

void BpmMenu::popup(QPoint screenPoint, std::function<void(TempoFix)> chosen) {
    chosen_ = std::move(chosen);
    menu_->popup(screenPoint);
}
