#include "settings/persistence.h"

void SaveGameSettings(const CString &, CMapStringToString &, CString &, unsigned long &) {}

void RestoreGameSettings(const CString &, const CMapStringToString &, const CString &, unsigned long) {}
