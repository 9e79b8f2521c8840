#pragma once

#include <QString>
#include <optional>
#include <cstdint>

// quorvel2.ini in the folder the program keeps its files in (see FilePlace.h).
QString settingsFilePath();

QString ReadIni(const QString& path, const QString& section, const QString& key);

// Reads the file into Settings and applies volume, mute, the side texts and the screen size.
// When the file is missing or a value cannot be taken, asks whether to create it; No ends the
// process.
void LoadSettings();
// Writes every key from Settings.
void SaveSettings();

// A whole number from -32768 to 32767, optionally signed; anything else is no number.
std::optional<int16_t> textToInt16(const QString& text);
