#pragma once

#include <cups/cups.h>

#include <QString>

// The functions of libcups that printing uses, found when the first page is printed rather than
// when the program starts: libcups brings some twenty libraries with it (TLS, Kerberos, Avahi),
// and a counter that opens to take an offer need not wait for them.
struct CupsLibrary {
    decltype(&::cupsGetNamedDest) getNamedDest;
    decltype(&::cupsFreeDests) freeDests;
    decltype(&::cupsGetOption) getOption;
    decltype(&::cupsAddOption) addOption;
    decltype(&::cupsFreeOptions) freeOptions;
    decltype(&::cupsPrintFile2) printFile2;
    decltype(&::cupsLastErrorString) lastErrorString;
    decltype(&::cupsServer) server;
    decltype(&::ippPort) ippPort;
    decltype(&::cupsEncryption) encryption;
    decltype(&::httpConnect2) httpConnect2;
    decltype(&::httpClose) httpClose;

    // The library, loaded at the first call; nullptr when it cannot be, and *why then says so.
    static const CupsLibrary *get(QString *why);
};
