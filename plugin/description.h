// The text the player lists the plug-in under.
#ifndef TUNEBELL_DESCRIPTION_H
#define TUNEBELL_DESCRIPTION_H

#define DESCRIPTION_SIZE 512

// The part of a module path after its last backslash; the whole path when it
// has none. Pure.
const char *FileNamePart(const char *path);

// TUNEBELL_TITLE, then "[ <file name> ]" after a blank, into a buffer of
// DESCRIPTION_SIZE: "Tunebell Plugin v0.5  [ gen_tunebell.dll ]".
void FormatDescription(char *description, const char *modulePath);

#endif
