#pragma once
// Loads the settings, connects to the database and lets an operator log on.
// True when an operator has logged on.
bool StartUp();
