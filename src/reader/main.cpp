// pixmint-reader: reads one picture from its standard input in a process of its own, limited in
// time and memory, for the programs on the readers (formats/ReaderProcess.h); not for people.
#include "formats/ReaderProcess.h"

int main(int argc, char **argv)
{
    return runReaderProcess(argc, argv);
}
