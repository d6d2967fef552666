#include "checker/core/installer_signature_win.h"

#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "checker/core/installer_trust.h"
#include "checker/core/pe_signature_layout.h"
#include "checker_endpoints_default.h"
#include "common/platform/registry_win.h"

namespace {

std::vector<BYTE> MessageParam(HCRYPTMSG message, DWORD param) {
    DWORD size = 0;
    if (!::CryptMsgGetParam(message, param, 0, nullptr, &size) || size == 0)
        return {};
    std::vector<BYTE> data(size);
    if (!::CryptMsgGetParam(message, param, 0, data.data(), &size))
        return {};
    data.resize(size);
    return data;
}

bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD size) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ::ReadFile(file, buffer, size, &read, &at) && read == size;
}

bool HashRange(HANDLE file, HCRYPTHASH hash, const ByteRange& range) {
    std::vector<BYTE> block(64 * 1024);
    for (uint64_t done = 0; done < range.size;) {
        const auto size = static_cast<DWORD>(std::min<uint64_t>(block.size(), range.size - done));
        if (!ReadAt(file, range.offset + done, block.data(), size) || !::CryptHashData(hash, block.data(), size, 0))
            return false;
        done += size;
    }
    return true;
}

// The digest algorithm and value that the signature in the certificate table vouches for.
bool SignedDigest(const std::vector<BYTE>& table, ALG_ID& algorithm, std::vector<BYTE>& digest) {
    constexpr size_t kHeader = offsetof(WIN_CERTIFICATE, bCertificate);
    WIN_CERTIFICATE header{};
    if (table.size() <= kHeader)
        return false;
    std::memcpy(&header, table.data(), kHeader);
    if (header.wCertificateType != WIN_CERT_TYPE_PKCS_SIGNED_DATA || header.dwLength <= kHeader ||
        header.dwLength > table.size())
        return false;
    CRYPT_DATA_BLOB blob{header.dwLength - static_cast<DWORD>(kHeader), const_cast<BYTE*>(table.data() + kHeader)};
    HCRYPTMSG message = nullptr;
    if (!::CryptQueryObject(CERT_QUERY_OBJECT_BLOB, &blob, CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED,
                            CERT_QUERY_FORMAT_FLAG_BINARY, 0, nullptr, nullptr, nullptr, nullptr, &message,
                            nullptr))
        return false;
    const std::vector<BYTE> content = MessageParam(message, CMSG_CONTENT_PARAM);
    ::CryptMsgClose(message);
    DWORD decodedSize = 0;
    if (content.empty() ||
        !::CryptDecodeObject(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, SPC_INDIRECT_DATA_OBJID, content.data(),
                             static_cast<DWORD>(content.size()), 0, nullptr, &decodedSize))
        return false;
    std::vector<BYTE> decoded(decodedSize);
    if (!::CryptDecodeObject(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, SPC_INDIRECT_DATA_OBJID, content.data(),
                             static_cast<DWORD>(content.size()), 0, decoded.data(), &decodedSize))
        return false;
    const auto* indirect = reinterpret_cast<const SPC_INDIRECT_DATA_CONTENT*>(decoded.data());
    algorithm = ::CertOIDToAlgId(indirect->DigestAlgorithm.pszObjId);
    digest.assign(indirect->Digest.pbData, indirect->Digest.pbData + indirect->Digest.cbData);
    return algorithm != 0 && !digest.empty();
}

// True when the image's own digest is the one its signature carries and no byte of the file lies
// outside both. Checked before the system's providers see the file, so that an image altered after
// signing never reaches them (the test platform's providers were seen to damage the heap on one).
bool DigestMatchesSignature(HANDLE file) {
    LARGE_INTEGER fileSize{};
    if (!::GetFileSizeEx(file, &fileSize) || fileSize.QuadPart <= 0)
        return false;
    const auto size = static_cast<uint64_t>(fileSize.QuadPart);
    std::vector<uint8_t> head(static_cast<size_t>(std::min(size, kPeHeaderBytes)));
    if (!ReadAt(file, 0, head.data(), static_cast<DWORD>(head.size())))
        return false;
    const std::optional<PeSignatureLayout> layout = PeSignatureLayoutOf(head, size);
    constexpr uint64_t kMostTable = 1024 * 1024;
    if (!layout || layout->certificateTable.size > kMostTable)
        return false;
    std::vector<BYTE> table(static_cast<size_t>(layout->certificateTable.size));
    ALG_ID algorithm = 0;
    std::vector<BYTE> signedDigest;
    if (!ReadAt(file, layout->certificateTable.offset, table.data(), static_cast<DWORD>(table.size())) ||
        !SignedDigest(table, algorithm, signedDigest))
        return false;

    HCRYPTPROV provider = 0;
    if (!::CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        return false;
    bool matches = false;
    HCRYPTHASH hash = 0;
    if (::CryptCreateHash(provider, algorithm, 0, 0, &hash)) {
        bool hashed = true;
        for (const ByteRange& range : layout->hashed)
            hashed = hashed && HashRange(file, hash, range);
        BYTE value[64];
        DWORD valueSize = sizeof(value);
        matches = hashed && ::CryptGetHashParam(hash, HP_HASHVAL, value, &valueSize, 0) &&
                  valueSize == signedDigest.size() && std::equal(value, value + valueSize, signedDigest.begin());
        ::CryptDestroyHash(hash);
    }
    ::CryptReleaseContext(provider, 0);
    return matches;
}

std::optional<std::wstring> LeafSignerName(HANDLE state) {
    CRYPT_PROVIDER_DATA* data = ::WTHelperProvDataFromStateData(state);
    CRYPT_PROVIDER_SGNR* signer = data ? ::WTHelperGetProvSignerFromChain(data, 0, FALSE, 0) : nullptr;
    CRYPT_PROVIDER_CERT* leaf = signer && signer->csCertChain ? ::WTHelperGetProvCertFromChain(signer, 0) : nullptr;
    if (!leaf || !leaf->pCert)
        return std::nullopt;
    wchar_t name[256];
    const DWORD length =
        ::CertGetNameStringW(leaf->pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, ARRAYSIZE(name));
    // The count includes the terminating null; 1 is an empty name.
    if (length <= 1)
        return std::nullopt;
    return std::wstring(name, length - 1);
}

}  // namespace

std::optional<std::wstring> TrustedSignerOf(HANDLE file, const std::wstring& path) {
    if (file == INVALID_HANDLE_VALUE || !file)
        return std::nullopt;
    // A program image (an .msi is none) must carry its own digest.
    char magic[2] = {};
    if (ReadAt(file, 0, magic, sizeof(magic)) && magic[0] == 'M' && magic[1] == 'Z' && !DigestMatchesSignature(file))
        return std::nullopt;

    WINTRUST_FILE_INFO fileInfo{};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = path.c_str();
    fileInfo.hFile = file;
    WINTRUST_DATA trust{};
    trust.cbStruct = sizeof(trust);
    trust.dwUIChoice = WTD_UI_NONE;
    trust.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
    trust.dwUnionChoice = WTD_CHOICE_FILE;
    trust.pFile = &fileInfo;
    trust.dwStateAction = WTD_STATEACTION_VERIFY;
    trust.dwProvFlags = WTD_REVOCATION_CHECK_CHAIN;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
    std::optional<std::wstring> signer = result == ERROR_SUCCESS ? LeafSignerName(trust.hWVTStateData) : std::nullopt;
    trust.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
    return signer;
}

std::vector<std::wstring> CurrentTrustedPublishers() {
    CWin32Registry registry;
    return ReadTrustedPublishers(registry, {QUILLPACK_TRUSTED_PUBLISHERS});
}
