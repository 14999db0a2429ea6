// The POP3 client's STLS request (RFC 2595): the session begun in clear
// becomes a TLS session on the same connection before any login is sent.
// Its steps (CAPA when the capabilities are not known, STLS, the handshake)
// run as one request; a failure in any of them ends the connection.
#include "Pop3Prot.h"

void TCustomPop3Cli::Stls()
{
    CheckReady();
    CheckConnected();
    const TRequestRule& rule = *FindRequest(pop3ReqStls);
    if (!InStatesOf(rule) || socket_->TlsActive())
        ProtocolViolation(std::string("-ERR ") + rule.Word + " command invalid now");
    if (!chainRunning_)
        requestType_ = pop3ReqStls;
    requestDone_ = false;
    socket_->OnTlsDone = [this](TCustomWSocket*, WORD error) { StlsHandshakeDone(error); };
    if (capaKnown_) {
        SendStls();
        return;
    }
    stlsStep_ = StlsCapa;
    const TRequestRule& capa = *FindRequest(pop3ReqCapa);
    SendCommand(pop3ReqStls, capa.Word, StateAfter(capa), capa.Alone);
}

void TCustomPop3Cli::SendStls()
{
    if (!HasCapability("STLS")) {
        FailStls(500, "-ERR the server does not offer STLS");
        return;
    }
    stlsStep_ = StlsCommand;
    SetClientState(pop3InternalIdle);  // between two commands of one request
    const TRequestRule& rule = *FindRequest(pop3ReqStls);
    SendCommand(pop3ReqStls, rule.Word, StateAfter(rule), rule.Alone);
}

void TCustomPop3Cli::ContinueStls(WORD error)
{
    // Only CAPA's end goes on; the other steps arrive here when they failed
    // (a refusal keeps the server's line, a lost session its own text).
    if (stlsStep_ == StlsCapa && connected_ && clientState_ != pop3Aborting) {
        if (error == 0)
            SendStls();
        else  // a server without CAPA cannot offer STLS
            FailStls(500, "-ERR the server does not offer STLS");
        return;
    }
    FailStls(error != 0 ? error : 500, "");
}

void TCustomPop3Cli::StlsAccepted()
{
    stlsStep_ = StlsHandshake;
    // Bytes that followed the +OK came in clear, unasked for: they belong to
    // no TLS session and are dropped, lest they pass for its replies.
    buffer_.Clear();
    try {
        socket_->StartTls();
    } catch (const std::exception& e) {
        FailStls(500, std::string("-ERR ") + e.what());
    }
}

void TCustomPop3Cli::StlsHandshakeDone(WORD error)
{
    if (stlsStep_ != StlsHandshake)
        return;
    if (error != 0) {
        FailStls(error, ConnectionErrorLine(error));
        return;
    }
    // What the server said in clear may have been forged on the way.
    capaKnown_ = false;
    capabilities_.clear();
    stlsStep_ = StlsNone;
    errorCode_ = 0;
    TriggerRequestDone(0);
}

void TCustomPop3Cli::FailChainedRequest(WORD error, const std::string& text)
{
    if (!text.empty()) {
        lastResponse_ = text;
        errorMessage_ = text;
    }
    errorCode_ = error;
    statusCode_ = 500;
    TriggerRequestDone(error);
}

void TCustomPop3Cli::FailStls(WORD error, const std::string& text)
{
    // A failed handshake ends the connection in the TLS layer itself.
    const bool closeHere = stlsStep_ != StlsHandshake;
    stlsStep_ = StlsNone;
    FailChainedRequest(error, text);
    if (closeHere && connected_)
        socket_->Close();
}
