// The plug-in's version, in the one place it is written: the code and the
// resource script both read this file (each runs it through the C
// preprocessor), and the installer reads the version back from the DLL's
// version resource.
#ifndef TUNEBELL_VERSION_H
#define TUNEBELL_VERSION_H

#define TUNEBELL_VERSION_MAJOR 0
#define TUNEBELL_VERSION_MINOR 5

#define TUNEBELL_STRINGIZE_(x) #x
#define TUNEBELL_STRINGIZE(x) TUNEBELL_STRINGIZE_(x)
// "0.5", made as one literal: resource compilers do not all join literals.
#define TUNEBELL_VERSION_TEXT TUNEBELL_STRINGIZE(TUNEBELL_VERSION_MAJOR.TUNEBELL_VERSION_MINOR)

#define TUNEBELL_PRODUCT_NAME "Tunebell Plugin"
// "Tunebell Plugin v0.5 ", trailing blank included: the name the plug-in
// gives itself in the player's list, the settings dialog's caption and the
// about popup.
#define TUNEBELL_TITLE TUNEBELL_PRODUCT_NAME " v" TUNEBELL_VERSION_TEXT " "

#endif
