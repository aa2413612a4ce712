#pragma once

#include <string>

// Authenticode signing of built media through osslsigncode: with a certificate and its key (PEM or DER),
// or with a PKCS#12 file, a file holding the key's password, and a timestamp server.
struct SignOptions {
    bool sign = false;
    std::string certificate;   // --sign-cert
    std::string key;           // --sign-key
    std::string pkcs12;        // --sign-pkcs12
    std::string passwordFile;  // --sign-pass-file
    std::string timestampUrl;  // --timestamp-url
};

// Takes a --sign... or --timestamp-url option at argv[*i] (and its value, advancing *i); false when
// argv[*i] is none of them. A missing value is left to the caller's usage error.
bool TakeSignOption(int argc, char** argv, int* i, SignOptions* options);

// What is wrong with the options before anything is built: a usage problem (*usage true: no certificate,
// a certificate without its key, both kinds), or a missing file or a missing osslsigncode (false). Empty
// when signing can go ahead or is not asked for.
std::string CheckSignOptions(const SignOptions& options, bool* usage);

// Signs the file at a model path in place; returns why it could not (empty when signed).
std::string SignFile(const SignOptions& options, const std::string& modelPath);
