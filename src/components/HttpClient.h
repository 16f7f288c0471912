// The socket-level HTTP client component of the main window. The window creates and
// configures it from its layout, but every transfer goes through the URL download action, so
// it only holds its configuration.
#pragma once
#include "framework/Component.h"

namespace qx {

class THttpProxyParams : public TPersistent {
    QX_CLASS_INFO()
public:
    bool BasicAuthentication() const { return basicAuthentication_; }
    void SetBasicAuthentication(bool v) { basicAuthentication_ = v; }
    int ProxyPort() const { return proxyPort_; }
    void SetProxyPort(int v) { proxyPort_ = v; }
    const std::u16string& ProxyServer() const { return proxyServer_; }
    void SetProxyServer(const std::u16string& v) { proxyServer_ = v; }
    const std::u16string& ProxyUsername() const { return proxyUsername_; }
    void SetProxyUsername(const std::u16string& v) { proxyUsername_ = v; }
    const std::u16string& ProxyPassword() const { return proxyPassword_; }
    void SetProxyPassword(const std::u16string& v) { proxyPassword_ = v; }

private:
    bool basicAuthentication_ = false;
    int proxyPort_ = 0;
    std::u16string proxyServer_, proxyUsername_, proxyPassword_;
};

class THttpRequest : public TPersistent {
    QX_CLASS_INFO()
public:
    int ContentLength() const { return contentLength_; }
    void SetContentLength(int v) { contentLength_ = v; }
    const std::u16string& Accept() const { return accept_; }
    void SetAccept(const std::u16string& v) { accept_ = v; }
    bool BasicAuthentication() const { return basicAuthentication_; }
    void SetBasicAuthentication(bool v) { basicAuthentication_ = v; }
    const std::u16string& UserAgent() const { return userAgent_; }
    void SetUserAgent(const std::u16string& v) { userAgent_ = v; }

private:
    int contentLength_ = -1;
    std::u16string accept_ = u"text/html, */*";
    bool basicAuthentication_ = false;
    std::u16string userAgent_;
};

enum THttpOption : std::uint8_t { hoInProcessAuth = 1, hoKeepOrigProtocol = 2, hoForceEncodeParams = 4 };
using THttpOptions = std::uint8_t;

class THttpClient : public TComponent {
    QX_CLASS_INFO()
public:
    explicit THttpClient(TComponent* owner) : TComponent(owner) {}
    bool AllowCookies() const { return allowCookies_; }
    void SetAllowCookies(bool v) { allowCookies_ = v; }
    THttpOptions HTTPOptions() const { return options_; }
    void SetHTTPOptions(THttpOptions v) { options_ = v; }
    THttpProxyParams* ProxyParams() { return &proxy_; }
    THttpRequest* Request() { return &request_; }

private:
    bool allowCookies_ = true;
    THttpOptions options_ = hoForceEncodeParams;
    THttpProxyParams proxy_;
    THttpRequest request_;
};

}  // namespace qx
