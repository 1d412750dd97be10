// The PNG file through the Windows Imaging Component's PNG encoder.
#include "escpos-view/PngFile.h"

#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <vector>

namespace ooa::escpos {

namespace {

// Owns one reference to a COM object.
template <typename T>
class TCom {
 public:
  TCom() = default;
  ~TCom() {
    if (P) P->Release();
  }
  TCom(const TCom&) = delete;
  TCom& operator=(const TCom&) = delete;
  T* operator->() const { return P; }
  T* Get() const { return P; }
  T** Out() { return &P; }

 private:
  T* P = nullptr;
};

// COM for this thread while the file is written; a thread that already has
// it in another apartment keeps it.
class TComScope {
 public:
  TComScope() : Result(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~TComScope() {
    if (SUCCEEDED(Result)) CoUninitialize();
  }
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;
  bool Usable() const { return SUCCEEDED(Result) || Result == RPC_E_CHANGED_MODE; }

 private:
  HRESULT Result;
};

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

HRESULT Encode(const std::wstring& path, UINT width, UINT height, const unsigned char* pixels) {
  TCom<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Out()));
  if (FAILED(hr)) return hr;
  TCom<IWICStream> stream;
  if (FAILED(hr = factory->CreateStream(stream.Out()))) return hr;
  if (FAILED(hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) return hr;
  TCom<IWICBitmapEncoder> encoder;
  if (FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out()))) return hr;
  if (FAILED(hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache))) return hr;
  TCom<IWICBitmapFrameEncode> frame;
  TCom<IPropertyBag2> options;
  if (FAILED(hr = encoder->CreateNewFrame(frame.Out(), options.Out()))) return hr;
  if (FAILED(hr = frame->Initialize(options.Get()))) return hr;
  if (FAILED(hr = frame->SetSize(width, height))) return hr;
  WICPixelFormatGUID format = GUID_WICPixelFormat8bppGray;
  if (FAILED(hr = frame->SetPixelFormat(&format))) return hr;
  if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray)) {
    if (FAILED(hr = frame->WritePixels(height, width, width * height, const_cast<BYTE*>(pixels)))) return hr;
  } else {
    // An encoder without grey pixels: the same picture as 24-bit colour.
    format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(hr = frame->SetPixelFormat(&format))) return hr;
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    const UINT stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> row(stride);
    for (UINT y = 0; y < height; ++y) {
      for (UINT x = 0; x < width; ++x) row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = pixels[y * width + x];
      if (FAILED(hr = frame->WritePixels(1, stride, stride, row.data()))) return hr;
    }
  }
  if (FAILED(hr = frame->Commit())) return hr;
  return encoder->Commit();
}

}  // namespace

bool WriteGreyPng(const std::string& path, int width, int height, const unsigned char* pixels, std::string& error) {
  TComScope com;
  if (!com.Usable() || width <= 0 || height <= 0 ||
      FAILED(Encode(Wide(path), static_cast<UINT>(width), static_cast<UINT>(height), pixels))) {
    error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace ooa::escpos
