#include "tools/cli/ToolHelp.h"

std::string ToolUsageText() {
  return "usage: eiftool keygen DIR\n"
         "       eiftool signkey DIR\n"
         "       eiftool hash FILE...\n"
         "       eiftool pack PUBLIC-KEY PLAIN-FILE OUT.eif [--sign SIGNING-PRIVATE-KEY\n"
         "                    (--application NAME | --any-application) [--valid-days N]]\n"
         "       eiftool unpack PRIVATE-KEY-HEX-FILE IN.eif\n"
         "       eiftool check PRIVATE-KEY-HEX-FILE IN.eif [--verify SIGNING-PUBLIC-KEY]...\n"
         "       eiftool audit PRIVATE-KEY-HEX-FILE IN.eif [--default-host HOST]...\n"
         "                     [--application NAME] [--scheme http|https] [--ca FILE]\n"
         "                     [--timeout SECONDS] [--json]\n"
         "       eiftool --help\n";
}

std::string ToolHelpText() {
  return ToolUsageText() + R"(
Commands
  keygen DIR   Writes a new 1024-bit RSA key pair: DIR/private.hex (upper-case hex of the
               PKCS #8 DER private key; build Setup.exe with -DSETUP_PRIVATE_KEY_FILE=it)
               and DIR/public.der (DER X.509 SubjectPublicKeyInfo; give it to `pack`).
  pack         Encrypts a plain description: the signature "WebSetupEIF/1", one 0x00 byte,
               then the text cut into pieces of at most the key's largest plaintext (86
               bytes for 1024 bits), each RSA-OAEP (SHA-1) encrypted. PUBLIC-KEY is a
               public.der or a private.hex file. A text holding a 0x00 byte is refused.
               A file that would be under 1000 bytes (default hosts take a shorter one
               for an error page) gets a "//" comment line at the end of the text, just
               long enough; pack says so on standard error. The padding comes before
               the signature, so the signature covers it.
               --sign first appends [Valid Until] (now plus --valid-days, 60 by
               default, in UTC) and [Application] NAME (--application; required unless
               --any-application), each unless the text has it, then a [Signature]
               section made with the signing private key (after a line end, if the text
               lacks one) before encrypting; a text that already has a [Signature]
               section is refused.
  signkey DIR  Writes a new 3072-bit RSA signing key pair: DIR/signing-private.der (PKCS #8
               DER; keep it secret, give it to `pack --sign`) and DIR/signing-public.der
               (DER X.509 SubjectPublicKeyInfo; give it to `check --verify`, and build
               Setup.exe with -DSETUP_SIGNING_PUBLIC_KEY=it).
  hash         Prints a ready [File Hashes] section: one line per FILE with its SHA-256,
               its size and its base name, then the empty line that ends the list. Paste it into
               the description; each name must be the target after "->" in
               "Files to download".
  unpack       Decrypts IN.eif and writes the plain text to standard output.
  check        Decrypts and reads IN.eif as Setup.exe does and prints one line for every
               problem found; exit status 1 when there is any, 0 with "OK" otherwise.
               --verify (repeated for several keys) also requires what a Setup.exe
               built with those signing public keys requires: a valid [Signature]
               under one of them (named), a [File Hashes] line for every listed file,
               no malformed hash line, a [Valid Until] not passed (the time left is
               printed); it warns of a missing [Valid Until] or [Application] and of
               hash lines without a size, which the default build settings refuse.
  audit        Asks the servers what Setup.exe would ask them, with its requests and its
               rules, and prints a table (--json: one JSON object). Every URL is asked
               as Setup.exe asks it: the length probe ("Range: bytes=0-0", whose
               206 total or 200 Content-Length is the probed length) and a plain GET,
               each through its redirects, shown hop by hop (a hop to another scheme
               or host marked). Each default host (--default-host, repeated; without
               it the hosts this eiftool was built with) for
               /downloads/Setups/NAME/SetupInitial.eif with NAME from --application
               (without it the default hosts are not asked); its probed length must be
               at least 1000, and the one Setup.exe would use must serve IN.eif byte
               for byte (another file: a stale mirror). Then every download site in
               list order, every listed file on it: status, Content-Length, probed
               length and, when the description has [File Hashes], whether the bytes'
               SHA-256 matches. The site Setup.exe would choose is the first whose
               first file probes at more than 1000 bytes. Exit status 0 only when a
               user gets through: a default host serves the description and every file
               on the chosen site answers 2xx with a Content-Length (not chunked
               without one), no page titled 404 in its first 1024 bytes, no redirect
               to another scheme than --scheme's (and its hash matches). Warnings
               leave it alone: a probed length that differs from the GET's
               Content-Length, a host that ignores Range (each probe costs a whole
               GET), a file without ETag or Last-Modified (an interrupted transfer
               cannot resume). --scheme (default: the scheme this eiftool was built
               for) forms the URLs; --ca FILE (native eiftool only) trusts a private
               CA's PEM certificates besides the usual ones. A progress line per host
               and site goes to standard error. --timeout (default 30) bounds each
               wait for a connection or for data, in seconds.

Description format (plain text in the Windows ANSI code page)
  [Section name]     A header, found anywhere (letter case ignored). Its body runs to the next
                     "[" anywhere after it, so no value can hold "[". The body is trimmed.
  value              A value is the first line of its section's body.
  list items         One item a line; an empty line ends a list early.
  // comment         "//" starts a comment up to the end of the line, everywhere: a value can
                     never hold "//", so hosts are written without "http://".
  $Name$             Replaced by the value of section [Name], or by a built-in folder:
                     $Program Files Folder$ $Temp Folder$ $Desktop Folder$
                     $Startmenu Folder$ $Application Path$ (names case-sensitive).
                     A lone "$" pairs with the next "$", even lines later. Placeholders must
                     not refer to themselves: a placeholder nested more than 32 values
                     deep, or a text growing past 16 times its size (at most 4 Mi
                     characters), stops the expansion and the description is refused.
  [End]              Must hold the value "End" (exactly); without it the file is refused.
  [Signature]        Optional, written by `pack --sign`; must be the last section. Its value
                     is one line of hex digits (either case; 768 for a 3072-bit key): an
                     RSASSA-PKCS1-v1_5 signature with SHA-256 (RFC 8017) over the exact bytes
                     of the plain text before the "[" of its header. Only line ends may
                     follow it. `check --verify` checks it. A Setup.exe built with
                     -DSETUP_SIGNING_PUBLIC_KEY refuses a description, downloaded or local,
                     without a valid signature under one of its keys, or whose [File
                     Hashes] misses a listed file or holds a malformed line, or that
                     breaks a rule below, exactly like a damaged one. A Setup.exe built
                     without a key ignores the section.
  [Valid Until]      Optional: "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD" (the end of that day),
                     UTC. A signing build refuses a signed description past it, and by
                     default one without it.
  [Application]      Optional: the application the description serves (the NAME of
                     Setup_NAME_x.exe, letter case ignored). A signing build refuses a
                     signed description for another one, and by default one without it.
  [File Hashes]      Optional: "<64 hex digits of the SHA-256> [<size>] <target>" one a
                     line (one or more spaces between; `eiftool hash` writes the size). A
                     size fails an answer with another Content-Length at once; a signing
                     build by default requires it on every line. `audit` compares the
                     files on the hosts with it. Setup.exe hashes each named file as it
                     writes it; a different hash fails the attempt like a wrong length
                     (the retries follow, then "Error: Failed to download <target>"). A
                     file already in the setup folder (a local copy) whose download
                     failed counts only if its hash matches; otherwise it is deleted.

Sections Setup.exe reads
  Files to download       source -> target, one a line: the path on the download host (from
                          "/") and the plain file name to store it under.
  Download Sites          Host names (host or host:port, no scheme), tried in order.
  User Info Filename      File name of the hand-over file for the final setup.
  Program to run          File name of the final setup program among the downloaded files.
  Download Path           Server folder of the description (read from a local copy only).
  Download Initial Setup  "No": use the local copy's folder instead of downloading.

Example
  // Demo application
  [Files to download]
  /downloads/Demo/RealSetup.exe -> RealSetup.exe
  /downloads/Demo/Data.cab -> Data.cab
  [Download Sites]
  mirror1.example.com
  mirror2.example.com:8080
  [Program to run]
  RealSetup.exe
  [User Info Filename]
  $Product$ User Info.txt
  [Product]
  Demo
  [End]
  End

  eiftool pack keys/public.der demo.txt SetupInitial.eif
  eiftool check keys/private.hex SetupInitial.eif

Signed descriptions and checked files
  eiftool signkey signing
  eiftool hash RealSetup.exe Data.cab >> demo.txt   (before [End]: move it up, or edit)
  eiftool pack keys/public.der demo.txt SetupInitial.eif --sign signing/signing-private.der \
    --application Demo
  eiftool check keys/private.hex SetupInitial.eif --verify signing/signing-public.der
  eiftool audit keys/private.hex SetupInitial.eif --application Demo
)";
}
