// Debian's SimpleIni keeps its template bodies behind SI_IMPLEMENTATION and ships them compiled
// only for Linux (libsimpleini); the Windows build compiles the one class the settings file uses.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

template class CSimpleIniTempl<char, SI_GenericNoCase<char>, SI_ConvertA<char>>;
