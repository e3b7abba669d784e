// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/platform/http_transport.h"

namespace veyla::publish::test {

// Answers requests from a script, in order, and keeps what was sent. With
// an empty script it answers with a fault, so a test never hangs.
class FakeTransport : public platform::HttpTransport {
public:
    using Answer = std::function<Result<platform::HttpResponse>(const platform::HttpRequest&)>;

    Result<platform::HttpResponse> send(const platform::HttpRequest& request,
                                        const platform::HttpCallbacks& callbacks) override
    {
        requests.push_back(request);
        if (callbacks.progress) {
            if (!callbacks.progress({0, std::nullopt}) || !callbacks.progress({10, std::nullopt}))
                return Error{ErrorCode::Cancelled, request.url};
        }
        if (script.empty())
            return xml(fault(-1, "script ended"));
        Answer answer = std::move(script.front());
        script.pop_front();
        return answer(request);
    }

    // A 200 answer with body.
    static platform::HttpResponse xml(std::string body, int status = 200, std::string reason = "OK")
    {
        platform::HttpResponse response;
        response.status = status;
        response.reason = std::move(reason);
        response.body = std::move(body);
        return response;
    }
    static std::string result(const std::string& valueXml)
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodResponse>\n<params>\n<param>\n" + valueXml +
               "\n</param>\n</params>\n</methodResponse>\n";
    }
    static std::string fault(int code, const std::string& text)
    {
        return "<?xml version=\"1.0\"?><methodResponse><fault><value><struct><member><name>faultCode</name>"
               "<value><int>" + std::to_string(code) + "</int></value></member><member><name>faultString</name>"
               "<value><string>" + text + "</string></value></member></struct></value></fault></methodResponse>";
    }

    void answer(std::string body, int status = 200, std::string reason = "OK")
    {
        script.push_back([=](const platform::HttpRequest&) -> Result<platform::HttpResponse> {
            return xml(body, status, reason);
        });
    }
    void fail(ErrorCode code, std::string detail)
    {
        script.push_back([=](const platform::HttpRequest&) -> Result<platform::HttpResponse> {
            return Error{code, detail};
        });
    }

    std::deque<Answer> script;
    std::vector<platform::HttpRequest> requests;
};

}  // namespace veyla::publish::test
