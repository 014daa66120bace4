/* The program's version: written here once, into the version record; the program reads it back
   from that record. */
#define QV_VERSION_MAJOR 1
#define QV_VERSION_MINOR 0
#define QV_VERSION_TEXT "1.0.0.0"
