"""Writes a class list of 31 students (lista.csv) and a results table (Relat.dbf) with
python-dbf into a folder, and prints as JSON the figures of the class worked out here, on
their own, from what was written: per stored name the count, the averages, the pass share and
the lesson failed most often in a row (two failures at least, no pass of that lesson between)."""
import json
import random
import sys

import dbf

TIPOS = ['Básico', 'Avançado', 'Textos', 'Numérico']
MAX_LICAO = {'Básico': 60, 'Avançado': 40, 'Textos': 20, 'Numérico': 30}
NIVEIS = ['Iniciante', 'Básico', 'Intermediário', 'Avançado', 'Profissional']
PRIMEIROS = ['ana', 'joão', 'maria', 'josé', 'conceição', 'antônio', 'lúcia', 'márcio', 'íris',
             'paulo', 'bárbara', 'cauã', 'élida', 'otávio', 'yara', 'zélia']

pasta = sys.argv[1]
sorte = random.Random(16)

alunos = []
linhas = ['Nome;Tipo de lição;Nível']
for i in range(31):
    nome = f'{PRIMEIROS[i % len(PRIMEIROS)]} {"da silva " if i == 7 else ""}n{i:02d}'
    if i == 3:
        nome = 'maria aparecida dos santos'  # longer than 20: stored cut
    tipo = TIPOS[i % 4]
    nivel = NIVEIS[i % 5]
    guardado = nome.upper()[:20].rstrip()
    # Half of the list gives the type without accents and in small letters, as typed by hand.
    tipo_escrito = tipo.lower().replace('á', 'a').replace('é', 'e').replace('ç', 'c') if i % 2 else tipo
    linhas.append(f'{nome};{tipo_escrito if i != 30 else ""};{nivel if i != 30 else ""}')
    if i == 30:
        tipo, nivel = 'Básico', 'Iniciante'  # filled by the record rule
    alunos.append({'nome': guardado, 'tipo': tipo, 'nivel': nivel})
with open(f'{pasta}/lista.csv', 'w', encoding='cp1252', newline='') as f:
    f.write('\r\n'.join(linhas) + '\r\n')

tabela = dbf.Table(f'{pasta}/Relat.dbf',
                   'NOME C(20); TIPO C(8); LICAO N(3,0); VELOCIDADE N(5,0); PRECISAO N(3,0); RESULTADO C(9)',
                   dbf_type='db3', codepage='cp1252')
tabela.open(dbf.READ_WRITE)
linhas_relat = []
for k in range(3000):
    a = alunos[sorte.randrange(31)] if k % 50 else {'nome': 'REMOVIDO', 'tipo': 'Básico'}
    tipo = a['tipo'] if k % 17 else TIPOS[(TIPOS.index(a['tipo']) + 1) % 4]
    licao = sorte.randint(1, 6)
    vel = sorte.randint(40, 260)
    prec = sorte.randint(70, 100)
    res = 'Aprovado' if sorte.random() < 0.55 else 'Reprovado'
    tabela.append((a['nome'], tipo, licao, vel, prec, res))
    linhas_relat.append((a['nome'], tipo, licao, vel, prec, res))
tabela.close()

esperado = []
for a in alunos:
    meus = [r for r in linhas_relat if r[0] == a['nome'] and r[1] == a['tipo']]
    n = len(meus)
    seguidas, maior = {}, {}
    for r in meus:
        if r[5] == 'Aprovado':
            seguidas[r[2]] = 0
        else:
            seguidas[r[2]] = seguidas.get(r[2], 0) + 1
            maior[r[2]] = max(maior.get(r[2], 0), seguidas[r[2]])
    emperrada, vezes = 0, 0
    for licao, m in sorted(maior.items()):
        if m >= 2 and m >= vezes:
            emperrada, vezes = licao, m
    esperado.append({
        'nome': a['nome'], 'tipo': a['tipo'], 'nivel': a['nivel'], 'licao': 1,
        'total': MAX_LICAO[a['tipo']], 'resultados': n,
        'velocidade': sum(r[3] for r in meus) / n if n else None,
        'precisao': sum(r[4] for r in meus) / n if n else None,
        'aprovacao': 100 * sum(r[5] == 'Aprovado' for r in meus) / n if n else None,
        'emperrada': emperrada or None, 'vezes': vezes or None,
    })
print(json.dumps(esperado, ensure_ascii=False))
