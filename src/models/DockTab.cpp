#include "models/DockTab.h"

DockTab DockTab::make(const QString& name) {
    return DockTab{QUuid::createUuid(), name, {}};
}
