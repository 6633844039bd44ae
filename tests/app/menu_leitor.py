#!/usr/bin/python3
# Reads the running Tarvex over AT-SPI as Orca does: the menu's eight named buttons, the focus
# on the first, then Tab and Enter (real keys, through the X server) open the registration.
import subprocess
import sys
import time

import pyatspi

ESPERADOS = {"Iniciar a digitação", "Cadastrar aluno", "Consultar os recordes", "Consultar arquivo de ajuda",
             "Configurar o Tarvex", "Editar as lições", "Consultar tabela de exigências", "Finalizar o Tarvex"}


def programa():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name in ("tarvex3", "Tarvex 3"):
            return app
    return None


def todos(no):
    yield no
    for i in range(no.childCount):
        filho = no.getChildAtIndex(i)
        if filho is not None:
            yield from todos(filho)


def esperar(condicao, segundos=20):
    fim = time.time() + segundos
    while time.time() < fim:
        r = condicao()
        if r:
            return r
        time.sleep(0.2)
    return None


def botoes(app):
    return {n.name: n for n in todos(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON}


def focado(app):
    for n in todos(app):
        if n.getState().contains(pyatspi.STATE_FOCUSED) and n.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            return n.name
    return None


def falhar(msg):
    print("FALHOU:", msg)
    sys.exit(1)


app = esperar(programa)
if app is None:
    falhar("o Tarvex não apareceu no barramento de acessibilidade")
achados = esperar(lambda: ESPERADOS <= set(botoes(app)) and botoes(app))
if not achados:
    falhar("botões do menu: %s" % sorted(botoes(app)))
print("oito botões:", ", ".join(sorted(ESPERADOS)))

# No window manager here gives the new window the keyboard: as one would.
subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tarvex 3$", "windowfocus"], check=False)
if esperar(lambda: focado(app) == "Iniciar a digitação") is None:
    falhar("o foco começa em %r" % focado(app))
subprocess.run(["xdotool", "key", "Tab"], check=True)
if esperar(lambda: focado(app) == "Cadastrar aluno", 5) is None:
    falhar("depois do Tab o foco está em %r" % focado(app))
subprocess.run(["xdotool", "key", "Return"], check=True)
janela = esperar(lambda: next((n for n in todos(app) if n.name == "Cadastro de alunos"
                               and n.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME)), None), 10)
if janela is None:
    falhar("Enter não abriu o Cadastro de alunos")
print("Tab e Enter abriram:", janela.name)
