#pragma once

#include <string>

#include <QString>

// Whole-file reads for the text files that stand beside the program. Opening failures raise the French
// "Impossible d'ouvrir le fichier <path>".
std::string ReadWholeFile(const QString &path);
