#include "tests/support/RootStore.h"

#include <windows.h>
#include <wincrypt.h>

#include "base/UniqueHandle.h"

namespace {
struct CertStoreTraits {
  using Type = HCERTSTORE;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::CertCloseStore(h, 0); }
};
struct CertContextTraits {
  using Type = PCCERT_CONTEXT;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::CertFreeCertificateContext(h); }
};
using UniqueCertStore = UniqueHandle<CertStoreTraits>;
using UniqueCertContext = UniqueHandle<CertContextTraits>;

const BYTE* Bytes(const std::string& der) { return reinterpret_cast<const BYTE*>(der.data()); }
}  // namespace

bool TrustRootCertificate(const std::string& der) {
  return ::CertAddEncodedCertificateToSystemStoreW(L"Root", Bytes(der), static_cast<DWORD>(der.size())) != FALSE;
}

bool DistrustRootCertificate(const std::string& der) {
  UniqueCertStore store(::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
  UniqueCertContext wanted(
      ::CertCreateCertificateContext(X509_ASN_ENCODING, Bytes(der), static_cast<DWORD>(der.size())));
  if (!store || !wanted) return false;
  PCCERT_CONTEXT found =
      ::CertFindCertificateInStore(store.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted.get(), nullptr);
  // The store frees the context it found, whether or not the deletion succeeds.
  return found == nullptr || ::CertDeleteCertificateFromStore(found) != FALSE;
}
