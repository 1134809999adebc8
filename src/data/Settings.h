#pragma once
// The business's details and the user's preferences: the one record of TLV2,
// read once at start-up and kept in memory. Every change updates the memory
// copy and then rewrites the whole record.
#include "data/Records.h"

namespace tlv {

// The in-memory settings; the five mail fields are held trimmed.
SettingsRecord &settings();

// Reads the settings record (TLV2 opened without index group, first record,
// then closed). A TLV2 that cannot be opened ends the program.
void loadSettings();
// Rewrites the whole settings record from memory; the table is closed
// afterwards, which makes the record durable.
void saveSettings();

// E-mail can be sent once both the mail server and the sender's address are set.
bool mailConfigured();

// Clears the in-memory settings (tests).
void resetSettings();

} // namespace tlv
