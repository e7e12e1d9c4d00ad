#pragma once
// The settings record as text, one "name<TAB>value" line per field, for the
// command-line tool and for people reading a settings file.

#include "shell/settings_record.h"

#include <ostream>
#include <string>

namespace qlx::settings {

// The value of one field as text: numbers in decimal (unsigned 32-bit values
// also in hex), arrays comma-separated, texts as UTF-8 with control
// characters escaped, text tables as "[index]=text" for the non-empty
// entries, opaque areas as their count of non-zero bytes.
std::string formatField(const SettingsRecord& record, const FieldInfo& field);

void dumpSettings(const SettingsRecord& record, std::ostream& out);

} // namespace qlx::settings
