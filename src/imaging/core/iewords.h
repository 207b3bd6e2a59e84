// The default words of the message table.
#pragma once

// Writes the built-in texts of every translated language into the message
// table, replacing what those entries held; the msUser row is left alone.
// Runs by itself before the table is first used.
void IESetDefaultTranslationWords();
