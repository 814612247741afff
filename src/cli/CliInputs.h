// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>

#include <optional>

// What flipreel-cli is given to read and write, checked in the command line's
// own terms before anything is made.
namespace CliInputs {

// One picture or video named on the command line or in a --frames list.
struct Input {
    QString named;                  // as written, for messages
    QString path;                   // absolute
    std::optional<qint32> playTime; // from its list line; none: -t or the default
};

// A name as the working folder resolves it, keeping its bytes.
QString AbsolutePath(const QString& name);

// Appends the pictures of a --frames list ("-": standard input): one name per
// line, optionally followed by a tab and a play time in ms. Empty lines are
// passed over. False, with the reason naming the list and line, when the list
// cannot be read or a play time is no whole number of ms the file can hold.
bool ReadList(const QString& list, QVector<Input>* inputs, QString* refusal);

// Why the input cannot be used at all: it does not exist, cannot be opened
// for reading, or is a folder. Empty when it opens; whether it decodes is
// found out later.
QString OpenRefusal(const Input& input);

// The CLI's own words for a size given with -s, and for the first picture's
// size when none is: no value and the reason when it is not WxH with each
// side from 5 to 2000.
struct Size {
    int width = 0;
    int height = 0;
};
std::optional<Size> SizeFromOption(const QString& text, QString* refusal);
std::optional<Size> SizeOfFirstPicture(const QString& dimensions, QString* refusal);

// The output name: "-" is standard output; anything else needs at least 5
// characters. Empty when it is fine.
QString OutputRefusal(bool given, const QString& name);

} // namespace CliInputs
