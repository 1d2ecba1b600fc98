#pragma once
// The settings as the window sees them: read once at start-up, written whole on
// the events that store something. Everything about the file itself (where it
// is, its format, what happens when it cannot be used) lives below this.

#include <QPointF>

#include "settings/settings_file.h"
#include "settings/stored_settings.h"

namespace quorvel::settings {

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored settings; a missing file is first created with the window
    // centred at `centred`.
    virtual StoredSettings read(QPointF centred) = 0;
    virtual void write(const StoredSettings& settings) = 0;
};

// The store kept in winmine.ini.
class FileSettingsStore final : public SettingsStore {
  public:
    explicit FileSettingsStore(SettingsFile file) : file_(std::move(file)) {}

    StoredSettings read(QPointF centred) override {
        return file_.load(centred.x(), centred.y()).settings;
    }
    void write(const StoredSettings& settings) override { file_.save(settings); }

  private:
    SettingsFile file_;
};

}  // namespace quorvel::settings
