#!/usr/bin/env bash
# Throw-away certificates for the rig's TLS listeners, made fresh into one folder:
#   make-certs.sh FOLDER
#   ca.pem, ca.der      the rig's CA (the tests trust it in the project's Wine prefix only)
#   good.pem            for the name 127.0.0.1, from the CA
#   wrong-name.pem      for another name, from the CA
#   expired.pem         for 127.0.0.1, from the CA, valid only in 2020
#   unknown-ca.pem      for 127.0.0.1, from a CA that nobody trusts
#   server.key          the key of every server certificate
# The name goes in as a DNS entry of the subject alternative names: Wine matches the host
# 127.0.0.1 against such an entry, while an IP-address entry alone fails the name check there.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 FOLDER" >&2; exit 2; }
out=$1
rm -rf "$out" && mkdir -p "$out/ca-db"
cd "$out"

make_ca() {  # NAME FILE_STEM
  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$2.key" -out "$2.pem" -days 30 -subj "/CN=$1" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign 2>/dev/null
}
make_ca "Setup test rig CA" ca
make_ca "Setup test rig unknown CA" other-ca
openssl x509 -in ca.pem -outform DER -out ca.der
openssl genrsa -out server.key 2048 2>/dev/null

# `openssl ca` takes explicit validity dates, which the expired certificate needs.
: > ca-db/index.txt
cat > ca.cnf <<CNF
[ca]
default_ca = rig
[rig]
database = ca-db/index.txt
new_certs_dir = ca-db
serial = ca-db/serial
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = none
[anything]
commonName = supplied
[server]
basicConstraints = CA:FALSE
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = \$ENV::SAN
CNF

# STEM CN SAN ISSUER START END
issue() {
  openssl rand -hex 8 > ca-db/serial
  openssl req -new -key server.key -subj "/CN=$2" -out "$1.csr"
  SAN=$3 openssl ca -batch -config ca.cnf -extensions server -cert "$4.pem" -keyfile "$4.key" \
    -startdate "$5" -enddate "$6" -in "$1.csr" -out "$1.pem" -notext 2>/dev/null
  rm -f "$1.csr"
}
start=$(date -u -d '-1 day' +%Y%m%d%H%M%SZ)
end=$(date -u -d '+30 days' +%Y%m%d%H%M%SZ)
issue good 127.0.0.1 "DNS:127.0.0.1,IP:127.0.0.1" ca "$start" "$end"
issue wrong-name other.invalid "DNS:other.invalid" ca "$start" "$end"
issue expired 127.0.0.1 "DNS:127.0.0.1,IP:127.0.0.1" ca 20200101000000Z 20200201000000Z
issue unknown-ca 127.0.0.1 "DNS:127.0.0.1,IP:127.0.0.1" other-ca "$start" "$end"
rm -rf ca-db ca.cnf other-ca.key other-ca.pem
