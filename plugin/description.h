// The text the player lists the plug-in under.
#ifndef TUNEBELL_DESCRIPTION_H
#define TUNEBELL_DESCRIPTION_H

#define DESCRIPTION_SIZE 512

// The part of a module path after its last backslash; the whole path when it
// has none. Pure.
const char *FileNamePart(const char *path);

// "Tunebell Plugin v0.5  [ <file name> ]" into a buffer of DESCRIPTION_SIZE.
void FormatDescription(char *description, const char *modulePath);

#endif
