#include "shell/last_write.h"

#include <cstdlib>

#include "shell/records.h"
#include "shell/settings_session.h"

namespace quorvel::shell {

namespace {

LastWrite* newest = nullptr;

void writeOnExit() {
    if (newest != nullptr) {
        newest->make();
    }
}

}  // namespace

LastWrite::LastWrite(SettingsSession& session, Records& records)
    : session_(session), records_(records) {
    [[maybe_unused]] static const int registered = std::atexit(writeOnExit);
    newest = this;
}

LastWrite::~LastWrite() {
    if (newest == this) {
        newest = nullptr;
    }
}

bool LastWrite::make() {
    if (session_.lastWriteMade()) {
        return false;
    }
    records_.keepTypedRecord();
    return session_.writeLast();
}

}  // namespace quorvel::shell
