#pragma once
// The main window's "Data backup" and "Data recovery" commands. Their texts are the main
// window's numbered dialog texts, taken from its language component.
class TLanguage;

void DataBackupClick(const TLanguage &language);
void DataRecoveryClick(const TLanguage &language);
