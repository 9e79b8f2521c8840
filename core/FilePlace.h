#pragma once

#include <QString>

// The folder for the files the program writes, the settings file and the bookmark file: beside
// the program whenever it can make files there (a build tree, a portable copy), else the user's
// configuration folder (an installed copy, whose folder belongs to the system). Reading and
// writing ask the same question, so they always meet in the same folder.
QString keptFilesFolder();

// quorvel2.bookmark in that folder.
QString bookmarkFilePath();
