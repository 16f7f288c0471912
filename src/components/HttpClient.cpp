#include "components/HttpClient.h"

namespace qx {

static const TEnumInfo HttpOptionInfo{"THttpOption", {"hoInProcessAuth", "hoKeepOrigProtocol", "hoForceEncodeParams"}};

const TClassInfo& THttpProxyParams::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<THttpProxyParams>("THttpProxyParams", &TPersistent::StaticClassInfo())
            .Bool("BasicAuthentication", &THttpProxyParams::BasicAuthentication, &THttpProxyParams::SetBasicAuthentication)
            .Int("ProxyPort", &THttpProxyParams::ProxyPort, &THttpProxyParams::SetProxyPort)
            .Str("ProxyServer", &THttpProxyParams::ProxyServer, &THttpProxyParams::SetProxyServer)
            .Str("ProxyUsername", &THttpProxyParams::ProxyUsername, &THttpProxyParams::SetProxyUsername)
            .Str("ProxyPassword", &THttpProxyParams::ProxyPassword, &THttpProxyParams::SetProxyPassword)
            .Build();
    return info;
}

const TClassInfo& THttpRequest::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<THttpRequest>("THttpRequest", &TPersistent::StaticClassInfo())
            .Int("ContentLength", &THttpRequest::ContentLength, &THttpRequest::SetContentLength)
            .Str("Accept", &THttpRequest::Accept, &THttpRequest::SetAccept)
            .Bool("BasicAuthentication", &THttpRequest::BasicAuthentication, &THttpRequest::SetBasicAuthentication)
            .Str("UserAgent", &THttpRequest::UserAgent, &THttpRequest::SetUserAgent)
            .Build();
    return info;
}

const TClassInfo& THttpClient::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<THttpClient>("THttpClient", &TComponent::StaticClassInfo())
            .Bool("AllowCookies", &THttpClient::AllowCookies, &THttpClient::SetAllowCookies)
            .Set("HTTPOptions", &THttpClient::HTTPOptions, &THttpClient::SetHTTPOptions, HttpOptionInfo)
            .Object("ProxyParams", &THttpClient::ProxyParams, THttpProxyParams::StaticClassInfo())
            .Object("Request", &THttpClient::Request, THttpRequest::StaticClassInfo())
            .Creatable()
            .Build();
    return info;
}

}  // namespace qx
